#include "BenchData.h"

#include <cstdio>
#include <memory>

#include "engine/DataFile.h"
#include "engine/DeviceImage.h"

namespace {

constexpr uint32_t kBenchGroup = 1;
constexpr uint32_t kBenchNumber = 1;
constexpr uint32_t kBenchResources = 48;
constexpr uint32_t kFirstResourceId = 0x100;
constexpr uint32_t kSecondListResourceId = 0x200;
constexpr uint32_t kFirstFillerId = 0x10000;

ResourceDescription PatternResource(uint32_t id, uint32_t block, uint32_t length) {
    ResourceDescription resource{id, block, std::vector<uint8_t>(length), std::nullopt};
    for (uint32_t i = 0; i < length; ++i) resource.bytes[i] = static_cast<uint8_t>(id + i * 7);
    return resource;
}

// Resources from 1 to 24 KiB, laid one after another from the first written-back block.
CharacterDescription BenchCharacter(uint32_t entries) {
    CharacterDescription character;
    character.number = kBenchNumber;
    character.requiredList.emplace();
    uint32_t block = kFirstWriteBackBlock;
    for (uint32_t i = 0; i < kBenchResources; ++i) {
        const uint32_t length = 1024 + (i * 7919 % 23) * 1024 + i * 13 % 500;
        character.resources.push_back(PatternResource(kFirstResourceId + i, block, length));
        character.requiredList->push_back(kFirstResourceId + i);
        block += BlocksFor(length);
    }
    character.resources.push_back(PatternResource(kSecondListResourceId, 500, 64));
    character.secondList = std::vector<uint32_t>{kSecondListResourceId};
    const uint32_t own = static_cast<uint32_t>(character.resources.size()) + 2;
    for (uint32_t i = own; i < entries; ++i) {
        character.resources.push_back({kFirstFillerId + i, 0, {}, std::nullopt});
    }
    return character;
}

// Entries that point at no bytes: table length without file bytes.
CharacterDescription FillerCharacter(uint32_t number, uint32_t entries) {
    CharacterDescription character;
    character.number = number;
    character.requiredList = std::vector<uint32_t>{};
    character.secondList = std::vector<uint32_t>{};
    for (uint32_t i = 2; i < entries; ++i) {
        character.resources.push_back({kFirstFillerId + i, 0, {}, std::nullopt});
    }
    return character;
}

}  // namespace

HandheldOptions BenchHandheld() {
    HandheldOptions options;
    options.versionWord = kBenchOldVersion;
    options.characterGroup = kBenchGroup;
    options.characterNumber = kBenchNumber;
    return options;
}

std::string BenchHandheldEmuOptions() {
    char text[64];
    std::snprintf(text, sizeof text, "--version %u --group %u --number %u", kBenchOldVersion,
                  kBenchGroup, kBenchNumber);
    return text;
}

DataFileDescription ShapedDataFile(uint32_t charactersPerGroup, uint32_t entriesPerCharacter,
                                   uint32_t benchEntries, uint32_t paddingBytes) {
    DataFileDescription description;
    description.dataVersion = kBenchNewVersion;
    for (uint32_t group = 0; group < description.groups.size(); ++group) {
        std::vector<CharacterDescription>& characters = description.groups[group].characters;
        characters.reserve(charactersPerGroup);
        for (uint32_t number = 0; number < charactersPerGroup; ++number) {
            if (group == kBenchGroup && number == kBenchNumber) {
                characters.push_back(BenchCharacter(benchEntries));
            } else {
                characters.push_back(FillerCharacter(number, entriesPerCharacter));
            }
        }
    }
    if (paddingBytes != 0) {
        description.groups[0].characters[0].resources.push_back(
            {kFirstFillerId - 1, 0, std::vector<uint8_t>(paddingBytes, 0x5A), std::nullopt});
    }
    return description;
}

std::vector<uint8_t> TypicalDataFile() {
    return BuildDataFile(ShapedDataFile(8, 16, 64));
}

std::vector<uint8_t> DataFileOfAbout(uint64_t bytes) {
    // Large files get many characters and a table of a million entries for the one updated;
    // what is left goes to the other characters' tables, then to padding.
    const bool large = bytes >= (uint64_t{64} << 20);
    const uint32_t characters = large ? 4096 : 64;
    const uint32_t benchEntries = large ? (1u << 20) : 64;
    const uint64_t base = BuildDataFile(ShapedDataFile(characters, 2, benchEntries)).size();
    const uint64_t spare = bytes > base ? bytes - base : 0;
    const auto fillerEntries =
        static_cast<uint32_t>(2 + spare / kDataRecordSize / (3 * uint64_t{characters}));
    std::vector<uint8_t> file =
        BuildDataFile(ShapedDataFile(characters, fillerEntries, benchEntries));
    if (file.size() >= bytes) return file;
    const auto padding = static_cast<uint32_t>(bytes - file.size());
    file.clear();
    return BuildDataFile(ShapedDataFile(characters, fillerEntries, benchEntries, padding));
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!file) return false;
    return std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
           std::fflush(file.get()) == 0;
}
