#include <gtest/gtest.h>

#include <vector>

#include "engine/DataFile.h"
#include "tools/zdat/DataFileWriter.h"

namespace {

ResourceDescription Resource(uint32_t id, uint32_t block, size_t length) {
    return {id, block, std::vector<uint8_t>(length, static_cast<uint8_t>(id)), std::nullopt};
}

CharacterDescription Character(uint32_t number, const std::vector<uint32_t>& ids) {
    CharacterDescription character;
    character.number = number;
    for (uint32_t id : ids) character.resources.push_back(Resource(id, 3 + id, 10));
    character.requiredList = ids;
    character.secondList = std::vector<uint32_t>{};
    return character;
}

// One character whose entry table holds the given ids in the given order; each entry's
// destination block is its position in the table.
DataFileDescription CharacterWithIds(const std::vector<uint32_t>& ids) {
    DataFileDescription description;
    description.dataVersion = 0x250;
    CharacterDescription character;
    for (uint32_t k = 0; k < ids.size(); ++k) character.resources.push_back(Resource(ids[k], k, 1));
    description.groups[1].characters.push_back(character);
    return description;
}

CharacterRecord OnlyCharacter(const DataFile& file) {
    CharacterRecord character{};
    EXPECT_EQ(Lookup::Found, file.FindCharacter(1, 0, &character));
    return character;
}

}  // namespace

// The search must find every key and reject every gap for tables of any length, odd and even.
TEST(DataFileSearch, FindsEveryKeyAndNoGapInTablesOfAnyLength) {
    for (uint32_t size = 0; size <= 33; ++size) {
        std::vector<uint32_t> ids;
        for (uint32_t k = 0; k < size; ++k) ids.push_back(2 * k + 2);
        const std::vector<uint8_t> bytes = BuildDataFile(CharacterWithIds(ids));
        const DataFile file(bytes.data(), bytes.size());
        const CharacterRecord character = OnlyCharacter(file);
        for (uint32_t key = 0; key <= 2 * size + 3; ++key) {
            ResourceEntry found{};
            const Lookup lookup = file.FindEntry(character, key, &found);
            if (key % 2 == 0 && key >= 2 && key <= 2 * size) {
                ASSERT_EQ(Lookup::Found, lookup) << "size " << size << " key " << key;
                EXPECT_EQ(key, found.id);
            } else {
                ASSERT_EQ(Lookup::Absent, lookup) << "size " << size << " key " << key;
            }
        }
    }
}

// With a repeated key only the probe order decides which record is found: the lower middle
// of the range, then the half below or above it. A lower or upper bound, or the upper middle
// of an even range, finds another record in at least one of these tables.
TEST(DataFileSearch, RepeatedKeysYieldTheRecordTheProbeOrderMeetsFirst) {
    struct Case {
        std::vector<uint32_t> ids;
        uint32_t key;
        uint32_t position;
    };
    const Case cases[] = {
        {{5, 5}, 5, 0},
        {{5, 5, 5}, 5, 1},
        {{5, 5, 5, 5}, 5, 1},
        {{7, 7, 7, 8, 9, 10, 11, 12}, 7, 1},  // 8 is probed first, then the lower three
        {{1, 2, 3, 4, 7, 7, 7, 7}, 7, 5},     // 4 first, then the upper four
        {{1, 2, 3, 7, 7}, 7, 3},              // 3 first, then the upper two
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> bytes = BuildDataFile(CharacterWithIds(c.ids));
        const DataFile file(bytes.data(), bytes.size());
        ResourceEntry found{};
        ASSERT_EQ(Lookup::Found, file.FindEntry(OnlyCharacter(file), c.key, &found));
        EXPECT_EQ(c.position, found.destinationBlock) << c.ids.size() << " ids, key " << c.key;
    }
}

TEST(DataFileSearch, KeysCompareAsUnsignedNumbers) {
    const std::vector<uint8_t> bytes =
        BuildDataFile(CharacterWithIds({1, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFEEu}));
    const DataFile file(bytes.data(), bytes.size());
    const CharacterRecord character = OnlyCharacter(file);
    ResourceEntry found{};
    for (uint32_t id : {1u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFEEu}) {
        EXPECT_EQ(Lookup::Found, file.FindEntry(character, id, &found)) << id;
    }
    EXPECT_EQ(Lookup::Absent, file.FindEntry(character, 0x80000001u, &found));
}

TEST(DataFileCharacters, CountBoundsTheNumberEvenWhenARecordMatches) {
    DataFileDescription description;
    description.dataVersion = 0x250;
    for (uint32_t k = 0; k < 3; ++k) description.groups[0].characters.push_back(Character(k, {}));
    description.groups[0].countOverride = 2;  // the record of number 2 is never reachable
    description.groups[2].characters.push_back(Character(0, {}));
    description.groups[2].characters.push_back(Character(0xFFFF, {}));
    description.groups[2].countOverride = 0x10000;
    const std::vector<uint8_t> bytes = BuildDataFile(description);
    const DataFile file(bytes.data(), bytes.size());
    CharacterRecord found{};

    EXPECT_EQ(Lookup::Found, file.FindCharacter(0, 1, &found));
    EXPECT_EQ(Lookup::Absent, file.FindCharacter(0, 2, &found));
    EXPECT_EQ(Lookup::Absent, file.FindCharacter(0, -1, &found)) << "a negative number";
    EXPECT_EQ(Lookup::Absent, file.FindCharacter(1, 0, &found)) << "an empty group";
    EXPECT_EQ(Lookup::Absent, file.FindCharacter(2, -1, &found))
        << "0xFFFF widened with its sign is not 0xFFFF";
    EXPECT_EQ(Lookup::Absent, file.FindCharacter(3, 0, &found)) << "no fourth group";
    EXPECT_EQ(Lookup::Absent, file.FindCharacter(-1, 0, &found));
}

TEST(DataFileEntries, FindsEntriesAndListsOfTheCharacter) {
    DataFileDescription description;
    description.dataVersion = 0x00010250;
    description.groups[0].characters.push_back(Character(0, {0x30, 0x10, 0x20}));
    description.groups[0].characters[0].secondList = std::vector<uint32_t>{0x10};
    const std::vector<uint8_t> bytes = BuildDataFile(description);
    const DataFile file(bytes.data(), bytes.size());
    EXPECT_EQ(0x00010250u, file.DataVersion());

    CharacterRecord character{};
    ASSERT_EQ(Lookup::Found, file.FindCharacter(0, 0, &character));
    EXPECT_EQ(5u, character.entryCount);

    ResourceEntry entry{};
    ASSERT_EQ(Lookup::Found, file.FindEntry(character, 0x20, &entry));
    EXPECT_EQ(0x23u, entry.destinationBlock);
    EXPECT_EQ(10u, entry.dataLength);
    ASSERT_NE(nullptr, file.ResourceBytes(entry));
    EXPECT_EQ(0x20, file.ResourceBytes(entry)[9]);
    EXPECT_EQ(Lookup::Absent, file.FindEntry(character, 0x21, &entry));

    IdList list{};
    ASSERT_EQ(Lookup::Found, file.FindEntry(character, kRequiredListId, &entry));
    ASSERT_EQ(Lookup::Found, file.ReadList(entry, &list));
    ASSERT_EQ(3u, list.count);
    EXPECT_EQ(0x30u, list.Id(0)) << "the list keeps its order of placement";
    EXPECT_EQ(0x20u, list.Id(2));

    const CharacterRecord empty{0, 0, 0};
    EXPECT_EQ(Lookup::Absent, file.FindEntry(empty, 0x10, &entry));
}

TEST(DataFileBounds, EveryStructureOutsideTheFileIsReportedNotRead) {
    DataFileDescription description;
    description.dataVersion = 0x250;
    description.groups[0].characters.push_back(Character(0, {0x10}));
    DataFileLayout layout;
    const std::vector<uint8_t> good = BuildDataFile(description, &layout);
    const uint32_t size = static_cast<uint32_t>(good.size());
    const DataFileLayout::Character& placed = layout.characters[0][0];

    auto withU32 = [&](uint32_t offset, uint32_t value) {
        std::vector<uint8_t> bytes = good;
        for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
        return bytes;
    };
    auto lookUpResource = [](const std::vector<uint8_t>& bytes) {
        const DataFile file(bytes.data(), bytes.size());
        CharacterRecord character{};
        Lookup lookup = file.FindCharacter(0, 0, &character);
        if (lookup != Lookup::Found) return lookup;
        ResourceEntry entry{};
        lookup = file.FindEntry(character, kRequiredListId, &entry);
        if (lookup != Lookup::Found) return lookup;
        IdList list{};
        lookup = file.ReadList(entry, &list);
        if (lookup != Lookup::Found) return lookup;
        lookup = file.FindEntry(character, list.Id(0), &entry);
        if (lookup != Lookup::Found) return lookup;
        return file.ResourceBytes(entry) ? Lookup::Found : Lookup::OutOfBounds;
    };

    ASSERT_EQ(Lookup::Found, lookUpResource(good));
    EXPECT_EQ(Lookup::OutOfBounds, lookUpResource(withU32(20, size - 15)));
    EXPECT_EQ(Lookup::OutOfBounds, lookUpResource(withU32(20, 0xFFFFFFF8u)));
    EXPECT_EQ(Lookup::OutOfBounds, lookUpResource(withU32(8, 0x10000000u)));
    EXPECT_EQ(Lookup::OutOfBounds, lookUpResource(withU32(placed.recordOffset + 12, size)));
    EXPECT_EQ(Lookup::OutOfBounds, lookUpResource(withU32(placed.recordOffset + 8, 0x0FFFFFFFu)));
    EXPECT_EQ(Lookup::OutOfBounds,
              lookUpResource(withU32(*placed.requiredListOffset, 0x40000000u)));
    EXPECT_EQ(Lookup::OutOfBounds, lookUpResource(withU32(placed.entryOffsets[0] + 8, size - 9)));
    EXPECT_EQ(Lookup::OutOfBounds,
              lookUpResource(withU32(placed.entryOffsets[0] + 12, 0xFFFFFFFFu)));

    for (uint32_t cut = 0; cut < kDataHeaderSize; ++cut) {
        const std::vector<uint8_t> truncated(good.begin(), good.begin() + cut);
        const DataFile file(truncated.data(), truncated.size());
        EXPECT_FALSE(file.HasHeader());
        CharacterRecord character{};
        EXPECT_EQ(Lookup::OutOfBounds, file.FindCharacter(0, 0, &character));
    }
}
