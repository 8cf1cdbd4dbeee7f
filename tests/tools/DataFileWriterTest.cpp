#include <gtest/gtest.h>

#include <algorithm>

#include "engine/DataFile.h"
#include "tests/tools/DataFileExamples.h"
#include "tools/zdat/DataFileWriter.h"

namespace {

std::vector<uint32_t> ListIds(const DataFile& file, const CharacterRecord& character, uint32_t id) {
    ResourceEntry entry{};
    EXPECT_EQ(Lookup::Found, file.FindEntry(character, id, &entry));
    IdList list{};
    EXPECT_EQ(Lookup::Found, file.ReadList(entry, &list));
    std::vector<uint32_t> ids;
    for (uint32_t k = 0; k < list.count; ++k) ids.push_back(list.Id(k));
    return ids;
}

}  // namespace

TEST(DataFileWriter, EverythingWrittenIsFoundByTheProgramsReader) {
    const DataFileDescription description = SmallDescription();
    const std::vector<uint8_t> bytes = BuildDataFile(description);
    const DataFile file(bytes.data(), bytes.size());
    ASSERT_TRUE(file.HasHeader());
    EXPECT_EQ(0x0250u, file.DataVersion());
    EXPECT_EQ(0xA5A5A5A5u, LoadLe32(bytes.data() + 4));

    for (int32_t group = 0; group < kCharacterGroupCount; ++group) {
        for (const CharacterDescription& given : description.groups[size_t(group)].characters) {
            SCOPED_TRACE(testing::Message() << "group " << group << " character " << given.number);
            CharacterRecord character{};
            ASSERT_EQ(Lookup::Found,
                      file.FindCharacter(group, static_cast<int32_t>(given.number), &character));
            EXPECT_EQ(given.resources.size() + 2, character.entryCount);
            for (const ResourceDescription& resource : given.resources) {
                ResourceEntry entry{};
                ASSERT_EQ(Lookup::Found, file.FindEntry(character, resource.id, &entry));
                EXPECT_EQ(resource.destinationBlock, entry.destinationBlock);
                ASSERT_EQ(resource.bytes.size(), entry.dataLength);
                const uint8_t* data = file.ResourceBytes(entry);
                ASSERT_NE(nullptr, data);
                EXPECT_TRUE(std::equal(resource.bytes.begin(), resource.bytes.end(), data));
            }
            EXPECT_EQ(*given.requiredList, ListIds(file, character, kRequiredListId));
            EXPECT_EQ(*given.secondList, ListIds(file, character, kSecondListId));
        }
    }
}

TEST(DataFileWriter, LayoutPointsAtEveryStructure) {
    const DataFileDescription description = SmallDescription();
    DataFileLayout layout;
    const std::vector<uint8_t> bytes = BuildDataFile(description, &layout);
    const auto at = [&](uint32_t offset) { return LoadLe32(bytes.data() + offset); };

    for (size_t group = 0; group < 3; ++group) {
        EXPECT_EQ(layout.tableOffsets[group], at(20 + 4 * uint32_t(group)));
        EXPECT_EQ(description.groups[group].characters.size(), at(8 + 4 * uint32_t(group)));
        ASSERT_EQ(description.groups[group].characters.size(), layout.characters[group].size());
        for (size_t i = 0; i < layout.characters[group].size(); ++i) {
            const CharacterDescription& given = description.groups[group].characters[i];
            const DataFileLayout::Character& placed = layout.characters[group][i];
            EXPECT_EQ(given.tag, at(placed.recordOffset));
            EXPECT_EQ(given.number, at(placed.recordOffset + 4));
            EXPECT_EQ(placed.entryTableOffset, at(placed.recordOffset + 12));
            const size_t resources = given.resources.size();
            ASSERT_EQ(resources + 2, placed.entryOffsets.size());
            ASSERT_EQ(resources + 2, placed.dataOffsets.size());
            for (size_t k = 0; k < resources; ++k) {
                EXPECT_EQ(given.resources[k].id, at(placed.entryOffsets[k]));
                EXPECT_EQ(placed.dataOffsets[k], at(placed.entryOffsets[k] + 8));
            }
            EXPECT_EQ(placed.requiredEntryOffset, placed.entryOffsets[resources]);
            EXPECT_EQ(placed.secondEntryOffset, placed.entryOffsets[resources + 1]);
            EXPECT_EQ(kRequiredListId, at(*placed.requiredEntryOffset));
            EXPECT_EQ(kSecondListId, at(*placed.secondEntryOffset));
            EXPECT_EQ(*placed.requiredListOffset, at(*placed.requiredEntryOffset + 8));
            EXPECT_EQ(*placed.requiredListOffset, placed.dataOffsets[resources]);
            EXPECT_EQ(given.requiredList->size(), at(*placed.requiredListOffset));
            EXPECT_EQ(given.secondList->size(), at(*placed.secondListOffset));
        }
    }
}

TEST(DataFileWriter, SortsTablesByKeyAndWritesListEntriesWithZeroBlockAndLength) {
    DataFileLayout layout;
    const std::vector<uint8_t> bytes = BuildDataFile(SmallDescription(), &layout);
    const auto at = [&](uint32_t offset) { return LoadLe32(bytes.data() + offset); };

    // Group 2 was given as numbers 2, 0, 1.
    const uint32_t table = layout.tableOffsets[2];
    EXPECT_EQ(0u, at(table + 4));
    EXPECT_EQ(1u, at(table + 16 + 4));
    EXPECT_EQ(2u, at(table + 32 + 4));

    // Group 0, character 1 was given ids 0x30, 0x10; the list ids sort last.
    const DataFileLayout::Character& placed = layout.characters[0][0];
    const std::vector<uint32_t> expected = {0x10, 0x30, kRequiredListId, kSecondListId};
    for (size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(expected[k], at(placed.entryTableOffset + 16 * uint32_t(k)));
    }
    EXPECT_EQ(0u, at(*placed.requiredEntryOffset + 4));
    EXPECT_EQ(0u, at(*placed.requiredEntryOffset + 12));
}

TEST(DataFileWriter, UnsortedKeepsTheGivenOrder) {
    DataFileDescription description = SmallDescription();
    description.sortKeys = false;
    DataFileLayout layout;
    const std::vector<uint8_t> bytes = BuildDataFile(description, &layout);
    EXPECT_EQ(layout.tableOffsets[2], layout.characters[2][0].recordOffset);
    EXPECT_EQ(2u, LoadLe32(bytes.data() + layout.tableOffsets[2] + 4));
    const DataFileLayout::Character& placed = layout.characters[0][0];
    EXPECT_EQ(placed.entryTableOffset, placed.entryOffsets[0]);
    EXPECT_EQ(0x30u, LoadLe32(bytes.data() + placed.entryTableOffset));
}

TEST(DataFileWriter, OverridesAndAbsentListsDescribeBrokenFiles) {
    DataFileDescription description;
    ResourceDescription resource = Resource(0x10, 3, 8);
    resource.lengthOverride = 0x12345;
    CharacterDescription character{4, 0, {resource}, std::nullopt, std::vector<uint32_t>{}};
    description.groups[1].characters = {character};
    description.groups[1].countOverride = 2;
    DataFileLayout layout;
    const std::vector<uint8_t> bytes = BuildDataFile(description, &layout);

    EXPECT_EQ(2u, LoadLe32(bytes.data() + 12));
    const DataFileLayout::Character& placed = layout.characters[1][0];
    EXPECT_EQ(0x12345u, LoadLe32(bytes.data() + placed.entryOffsets[0] + 12));
    EXPECT_FALSE(placed.requiredEntryOffset.has_value());
    EXPECT_FALSE(placed.requiredListOffset.has_value());
    ASSERT_EQ(2u, placed.entryOffsets.size());  // the resource, then the second list entry
    EXPECT_EQ(placed.secondEntryOffset, placed.entryOffsets[1]);
    EXPECT_EQ(2u, LoadLe32(bytes.data() + placed.recordOffset + 8));
    EXPECT_EQ(0u, LoadLe32(bytes.data() + *placed.secondListOffset));  // an empty list: n = 0
    // Only the real bytes are stored, not the overriding length.
    EXPECT_EQ(placed.dataOffsets[0] + 8u, bytes.size());
}

TEST(DataFileWriter, EmptyDescriptionIsAHeaderWithEmptyGroups) {
    const std::vector<uint8_t> bytes = BuildDataFile(DataFileDescription{});
    ASSERT_EQ(kDataHeaderSize, bytes.size());
    const DataFile file(bytes.data(), bytes.size());
    CharacterRecord character{};
    for (int32_t group = 0; group < kCharacterGroupCount; ++group) {
        EXPECT_EQ(Lookup::Absent, file.FindCharacter(group, 0, &character));
    }
}
