#include "emulator/HandheldMemory.h"

#include <cstdio>
#include <cstring>
#include <fstream>

#include "emulator/HandheldOptions.h"

namespace {

constexpr uint32_t kSystemBlocks[] = {509, 511};

void Store16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

uint16_t Load16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

}  // namespace

void HandheldMemory::MakeFresh(const HandheldOptions& options) {
    for (uint32_t block = 0; block < kBlocks; ++block) {
        std::memset(Block(block), FillByte(block), kBlockSize);
    }
    for (const uint32_t block : kSystemBlocks) {
        Store16(Block(block) + kVersionWordOffset, options.versionWord);
        Store16(Block(block) + kGroupOffset, static_cast<uint16_t>(options.characterGroup));
        Store16(Block(block) + kNumberOffset, static_cast<uint16_t>(options.characterNumber));
    }
}

bool HandheldMemory::Load(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::vector<uint8_t> loaded(kSize);
    file.read(reinterpret_cast<char*>(loaded.data()), static_cast<std::streamsize>(kSize));
    if (file.gcount() != static_cast<std::streamsize>(kSize) || file.peek() != EOF) return false;
    bytes.swap(loaded);
    return true;
}

bool HandheldMemory::Save(const std::string& path) const {
    const std::string temporary = path + ".new";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(kSize));
        if (!file.flush()) return false;
    }
    // Replaced whole, so a reader never sees half a memory. Windows renames only onto
    // nothing.
    if (std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    std::remove(path.c_str());
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

uint16_t HandheldMemory::VersionWord(uint32_t systemBlock) const {
    return Load16(Block(systemBlock) + kVersionWordOffset);
}

int16_t HandheldMemory::CharacterGroup(uint32_t systemBlock) const {
    return static_cast<int16_t>(Load16(Block(systemBlock) + kGroupOffset));
}

int16_t HandheldMemory::CharacterNumber(uint32_t systemBlock) const {
    return static_cast<int16_t>(Load16(Block(systemBlock) + kNumberOffset));
}
