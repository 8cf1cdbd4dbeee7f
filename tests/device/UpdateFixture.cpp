#include "UpdateFixture.h"

#include <algorithm>
#include <cstdio>

#include "emulator/HandheldMemory.h"

namespace {

constexpr size_t kBlock = kBlockSize;

ResourceDescription Resource(uint32_t id, uint32_t block, uint32_t length) {
    ResourceDescription resource{id, block, {}, std::nullopt};
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

DataFileDescription FixtureDataFile() {
    DataFileDescription description;
    description.dataVersion = kFixtureNewVersion;
    CharacterDescription other{
        0, 0, {Resource(0x40, 3, 100)}, std::vector<uint32_t>{0x40}, std::vector<uint32_t>{}};
    CharacterDescription character{1,
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

std::optional<DataFileDescription> FixtureDataFileVariant(const std::string& name) {
    DataFileDescription description = FixtureDataFile();
    CharacterDescription& character = description.groups[1].characters[1];
    if (name == "standard") {
    } else if (name == "no-required-list") {
        character.requiredList.reset();
    } else if (name == "no-second-list") {
        character.secondList.reset();
    } else if (name == "third-missing") {
        std::erase_if(character.resources,
                      [](const ResourceDescription& r) { return r.id == 0x12; });
    } else if (name == "too-large") {
        character.resources[2] = Resource(0x12, 511, 2 * kBlock);
    } else if (name == "old-layout") {
        description.groups[2].characters = description.groups[1].characters;
    } else {
        return std::nullopt;
    }
    return description;
}

namespace {

// A fresh handheld after updates placed these characters of the fixture's data file, in
// order, and stamped the new version into its own system blocks.
std::vector<uint8_t> ExpectedMemory(const HandheldOptions& handheld,
                                    const std::vector<const CharacterDescription*>& placed,
                                    bool closingBlock) {
    HandheldMemory fresh;
    fresh.MakeFresh(handheld);
    std::vector<uint8_t> expected(fresh.Bytes(), fresh.Bytes() + HandheldMemory::kSize);
    if (!placed.empty()) {
        std::fill(expected.begin() + 3 * kBlock, expected.begin() + 512 * kBlock, 0);
        for (const CharacterDescription* character : placed) {
            for (const ResourceDescription& resource : character->resources) {
                const auto& required = *character->requiredList;
                if (std::find(required.begin(), required.end(), resource.id) == required.end()) {
                    continue;  // only on the second list
                }
                uint8_t* at = expected.data() + resource.destinationBlock * kBlock;
                std::copy(resource.bytes.begin(), resource.bytes.end(), at);
                // A resource's last block is zero past its end.
                const size_t tail = (kBlock - resource.bytes.size() % kBlock) % kBlock;
                std::fill(at + resource.bytes.size(), at + resource.bytes.size() + tail, 0);
            }
        }
        for (const uint32_t block : {509u, 511u}) {
            std::copy(fresh.Block(block), fresh.Block(block) + kBlock,
                      expected.begin() + block * kBlock);
            expected[block * kBlock + HandheldMemory::kVersionWordOffset] =
                static_cast<uint8_t>(kFixtureNewVersion);
            expected[block * kBlock + HandheldMemory::kVersionWordOffset + 1] =
                static_cast<uint8_t>(kFixtureNewVersion >> 8);
        }
    }
    if (closingBlock) std::fill(expected.begin() + 512 * kBlock, expected.end(), 0);
    return expected;
}

std::vector<std::string> Compare(const std::vector<uint8_t>& actual,
                                 const std::vector<uint8_t>& expected) {
    if (actual.size() != HandheldMemory::kSize) return {"memory is not 513 blocks"};
    std::vector<std::string> problems;
    for (uint32_t block = 0; block < HandheldMemory::kBlocks; ++block) {
        if (!std::equal(actual.begin() + block * kBlock, actual.begin() + (block + 1) * kBlock,
                        expected.begin() + block * kBlock)) {
            problems.push_back(Describe("differs", block));
        }
    }
    return problems;
}

}  // namespace

std::vector<std::string> CheckMemory(const std::vector<uint8_t>& memory, bool updated,
                                     bool closingBlock, const HandheldOptions& handheld) {
    const DataFileDescription description = FixtureDataFile();
    std::vector<const CharacterDescription*> placed;
    if (updated) placed.push_back(&description.groups[1].characters[1]);
    std::vector<std::string> problems =
        Compare(memory, ExpectedMemory(handheld, placed, closingBlock));
    if (updated && memory.size() == HandheldMemory::kSize &&
        !AllEqual(memory.data() + 510 * kBlock, kBlock, 0)) {
        problems.push_back(Describe("untouched block not zero", 510));
    }
    return problems;
}

std::vector<std::string> CheckSecondRunMemory(const std::vector<uint8_t>& memory,
                                              const HandheldOptions& handheld) {
    const DataFileDescription description = FixtureDataFile();
    return Compare(memory, ExpectedMemory(handheld,
                                          {&description.groups[1].characters[1],
                                           &description.groups[0].characters[0]},
                                          true));
}
