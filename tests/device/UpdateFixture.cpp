#include "UpdateFixture.h"

#include <algorithm>
#include <cstdio>

#include "emulator/HandheldMemory.h"

namespace {

constexpr size_t kBlock = HandheldMemory::kBlockSize;

ResourceSpec Resource(uint32_t id, uint32_t block, uint32_t length) {
    ResourceSpec resource{id, block, {}, std::nullopt};
    for (uint32_t i = 0; i < length; ++i) {
        resource.bytes.push_back(static_cast<uint8_t>(id * 31 + i * 7 + i / 509));
    }
    return resource;
}

std::string Describe(const char* what, uint32_t block) {
    char text[96];
    std::snprintf(text, sizeof text, "%s (block %u)", what, block);
    return text;
}

bool AllEqual(const uint8_t* bytes, size_t length, uint8_t value) {
    return std::all_of(bytes, bytes + length, [value](uint8_t b) { return b == value; });
}

}  // namespace

DataFileSpec FixtureDataFile() {
    DataFileSpec description;
    description.dataVersion = kFixtureNewVersion;
    CharacterSpec other{
        0, 0, {Resource(0x40, 3, 100)}, std::vector<uint32_t>{0x40}, std::vector<uint32_t>{}};
    CharacterSpec character{1,
                            0,
                            {Resource(0x10, 3, 5000), Resource(0x11, 100, 4096),
                             Resource(0x12, 508, 100), Resource(0x13, 300, 10)},
                            std::vector<uint32_t>{0x10, 0x11, 0x12},
                            std::vector<uint32_t>{0x13}};
    description.groups[0].characters = {other};
    description.groups[1].characters = {other, character};
    return description;
}

HandheldOptions FixtureHandheld() {
    HandheldOptions options;
    options.versionWord = kFixtureOldVersion;
    options.characterGroup = 1;
    options.characterNumber = 1;
    return options;
}

std::vector<std::string> CheckMemory(const std::vector<uint8_t>& memory, bool updated,
                                     bool closingBlock, const HandheldOptions& handheld) {
    std::vector<std::string> problems;
    if (memory.size() != HandheldMemory::kSize) return {"memory is not 513 blocks"};
    HandheldMemory fresh;
    fresh.MakeFresh(handheld);
    std::vector<uint8_t> expectedMemory(fresh.Bytes(), fresh.Bytes() + HandheldMemory::kSize);
    uint8_t* expected = expectedMemory.data();
    const uint8_t* actual = memory.data();
    uint8_t* const end = expected + HandheldMemory::kSize;

    if (updated) {
        std::fill(expected + 3 * kBlock, expected + 512 * kBlock, 0);
        for (const uint32_t block : {509u, 511u}) {
            std::copy(fresh.Block(block), fresh.Block(block) + kBlock, expected + block * kBlock);
            expected[block * kBlock + HandheldMemory::kVersionWordOffset] =
                static_cast<uint8_t>(kFixtureNewVersion);
            expected[block * kBlock + HandheldMemory::kVersionWordOffset + 1] =
                static_cast<uint8_t>(kFixtureNewVersion >> 8);
        }
        const DataFileSpec description = FixtureDataFile();
        for (const ResourceSpec& resource : description.groups[1].characters[1].resources) {
            if (resource.id == 0x13) continue;  // only on the second list
            std::copy(resource.bytes.begin(), resource.bytes.end(),
                      expected + resource.destinationBlock * kBlock);
        }
    }
    if (closingBlock) std::fill(expected + 512 * kBlock, end, 0);

    for (uint32_t block = 0; block < HandheldMemory::kBlocks; ++block) {
        if (!std::equal(actual + block * kBlock, actual + (block + 1) * kBlock,
                        expected + block * kBlock)) {
            problems.push_back(Describe("differs", block));
        }
    }
    if (updated && !AllEqual(actual + 510 * kBlock, kBlock, 0)) {
        problems.push_back(Describe("untouched block not zero", 510));
    }
    return problems;
}
