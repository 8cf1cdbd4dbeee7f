#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "tests/tools/DataFileExamples.h"
#include "tools/zdat/DataFileChecker.h"
#include "tools/zdat/HexText.h"

namespace {

std::vector<Violation> Check(const std::vector<uint8_t>& file, bool warnings = false) {
    return CheckDataFile(file.data(), file.size(), CheckOptions{warnings});
}

// The file must break exactly one rule, and the message must name each given place.
void ExpectOnly(ViolationKind kind, const std::vector<Violation>& violations,
                const std::vector<std::string>& places) {
    std::string all;
    for (const Violation& violation : violations) all += "\n  " + violation.message;
    ASSERT_EQ(1u, violations.size()) << all;
    EXPECT_EQ(kind, violations[0].kind) << violations[0].message;
    EXPECT_EQ(Severity::Error, violations[0].severity);
    for (const std::string& place : places) {
        EXPECT_NE(std::string::npos, violations[0].message.find(place))
            << "\"" << place << "\" not in: " << violations[0].message;
    }
}

class DataFileChecker : public testing::Test {
protected:
    void SetUp() override { file = BuildDataFile(SmallDescription(), &layout); }

    // Group 0, character 1: resources 0x30 and 0x10, lists {0x10, 0x30} and {0x30}.
    const DataFileLayout::Character& Hero() const { return layout.characters[0][0]; }
    uint32_t Size() const { return static_cast<uint32_t>(file.size()); }

    std::vector<uint8_t> file;
    DataFileLayout layout;
};

}  // namespace

TEST_F(DataFileChecker, AcceptsAWellFormedFileWithoutWarnings) {
    EXPECT_TRUE(Check(file, true).empty());
}

TEST_F(DataFileChecker, RejectsAShortHeaderAndADataVersionNoHandheldCanKeep) {
    const std::tuple<uint32_t, ViolationKind, const char*> versions[] = {
        {0x29A, ViolationKind::DataVersionTooHigh, "refuse all later updates"},
        {0xFFFF, ViolationKind::DataVersionTooHigh, "refuse all later updates"},
        {0x10240, ViolationKind::DataVersionTooHigh, "only its low 16 bits, 0x0240"},
        {0xFFFFFFFF, ViolationKind::DataVersionTooHigh, "only its low 16 bits, 0xFFFF"},
        {0x200, ViolationKind::DataVersionTooLow, "so no handheld updates"},
        {0, ViolationKind::DataVersionTooLow, "so no handheld updates"},
    };
    for (const auto& [version, kind, stamp] : versions) {
        PatchLe32(file, 0, version);
        ExpectOnly(kind, Check(file), {HexText(version), stamp});
    }
    for (const uint32_t version : {0x299u, 0x201u}) {
        PatchLe32(file, 0, version);
        EXPECT_TRUE(Check(file, true).empty());
    }

    for (const size_t size : {size_t{0}, size_t{31}}) {
        file.resize(size);
        ExpectOnly(ViolationKind::TruncatedHeader, Check(file), {"header", std::to_string(size)});
    }
}

TEST_F(DataFileChecker, RejectsStructuresOutsideTheFile) {
    const std::vector<uint8_t> good = file;
    const std::string hero = "group 0, character 1";

    PatchLe32(file, 20 + 4 * 2, Size() - 16);  // group 2's three records pass the end
    ExpectOnly(ViolationKind::TableOutside, Check(file), {"group 2", HexText(Size() - 16)});

    file = good;
    PatchLe32(file, Hero().recordOffset + 8, 0x10000000u);  // 2^32 bytes: must not wrap
    ExpectOnly(ViolationKind::EntryTableOutside, Check(file), {hero, "268435456"});

    file = good;
    PatchLe32(file, *Hero().requiredListOffset, 0x40000000u);
    ExpectOnly(ViolationKind::ListOutside, Check(file),
               {hero, "required list", HexText(*Hero().requiredListOffset)});

    file = good;
    PatchLe32(file, *Hero().secondEntryOffset + 8, Size() - 2);  // not even its count fits
    ExpectOnly(ViolationKind::ListOutside, Check(file), {hero, "second list"});

    file = good;
    PatchLe32(file, Hero().entryOffsets[0] + 8, 0xFFFFFFF0u);  // offset + length wraps in 32 bits
    ExpectOnly(ViolationKind::ResourceOutside, Check(file), {hero, "id 0x00000030", "0xFFFFFFF0"});

    file = good;
    PatchLe32(file, Hero().entryOffsets[1] + 12, Size());
    ExpectOnly(ViolationKind::ResourceOutside, Check(file),
               {hero, "id 0x00000010", HexText(Hero().entryOffsets[1])});
}

// Each character has tables and lists of its own; shared ones would be read again and again.
TEST_F(DataFileChecker, RejectsTablesAndListsThatOverlapAnother) {
    const std::vector<uint8_t> good = file;
    const DataFileLayout::Character& zero = layout.characters[0][1];
    PatchLe32(file, Hero().recordOffset + 12, zero.entryTableOffset + 16);
    ExpectOnly(ViolationKind::SharedStructure, Check(file),
               {"group 0, character 1", "entry table at " + HexText(zero.entryTableOffset + 16),
                "overlaps the entry table of group 0, character 0"});

    file = good;
    PatchLe32(file, *Hero().secondEntryOffset + 8, *Hero().requiredListOffset);
    ExpectOnly(ViolationKind::SharedStructure, Check(file),
               {"group 0, character 1", "second list",
                "overlaps the required list of group 0, character 1"});
}

TEST_F(DataFileChecker, RejectsUnsortedAndDuplicateKeys) {
    DataFileDescription description;
    description.dataVersion = 0x250;
    description.sortKeys = false;
    description.groups[0].characters = {
        Character(0, {Resource(0x30, 20, 10), Resource(0x10, 3, 10)}, {0x10}),
        Character(1, {}, {})};
    ExpectOnly(ViolationKind::UnsortedKeys, Check(BuildDataFile(description)),
               {"group 0, character 0", "id 0x00000010", "follows id 0x00000030"});

    std::swap(description.groups[0].characters[0].resources[0],
              description.groups[0].characters[0].resources[1]);
    std::swap(description.groups[0].characters[0], description.groups[0].characters[1]);
    ExpectOnly(ViolationKind::UnsortedKeys, Check(BuildDataFile(description)),
               {"group 0", "character number 0", "follows character number 1"});

    description = SmallDescription();
    description.groups[2].characters[1].number = 2;  // numbers 2, 2, 1, all below the count
    description.groups[2].countOverride = 3;
    ExpectOnly(ViolationKind::DuplicateKey, Check(BuildDataFile(description)),
               {"group 2", "character number 2", "more than once"});

    description = SmallDescription();
    description.groups[2].characters[0].resources[1].id = 0x7;
    description.groups[2].characters[0].requiredList = std::vector<uint32_t>{0x7};
    ExpectOnly(ViolationKind::DuplicateKey, Check(BuildDataFile(description)),
               {"group 2, character 2", "id 0x00000007", "more than once"});
}

TEST_F(DataFileChecker, RejectsANumberThatCanNeverBeFound) {
    DataFileDescription description = SmallDescription();
    description.groups[0].countOverride = 1;
    description.groups[0].characters.pop_back();  // number 1 alone in a group of count 1
    DataFileLayout placed;
    const std::vector<uint8_t> bytes = BuildDataFile(description, &placed);
    ExpectOnly(ViolationKind::NumberNotBelowCount, Check(bytes),
               {"group 0, character 1", HexText(placed.characters[0][0].recordOffset), "count 1"});
}

// A file of a million faulty records must not make a list many times its size: past a hundred
// of one kind, one line counts the rest.
TEST_F(DataFileChecker, ListsAHundredOfAKindAndCountsTheRest) {
    DataFileDescription description = SmallDescription();
    description.groups[1].characters.clear();
    for (uint32_t k = 0; k < 250; ++k) {
        description.groups[1].characters.push_back(Character(k, {}, {0x99}, {}));
    }
    const std::vector<Violation> violations = Check(BuildDataFile(description));
    ASSERT_EQ(101u, violations.size());
    EXPECT_EQ(ViolationKind::MissingRequiredResource, violations[100].kind);
    EXPECT_EQ(0u, violations[100].message.find("150 more of this kind")) << violations[100].message;
}

TEST_F(DataFileChecker, RejectsMissingListsAndRequiredResources) {
    DataFileDescription description = SmallDescription();
    description.groups[2].characters[1].requiredList = {0x1, 0x2};
    ExpectOnly(ViolationKind::MissingRequiredResource, Check(BuildDataFile(description)),
               {"group 2, character 0", "item 1", "id 0x00000002"});

    description = SmallDescription();
    description.groups[2].characters[1].requiredList.reset();
    ExpectOnly(ViolationKind::MissingRequiredList, Check(BuildDataFile(description)),
               {"group 2, character 0", "0xFF000000"});

    description = SmallDescription();
    description.groups[1].characters[0].secondList.reset();
    ExpectOnly(ViolationKind::MissingSecondList, Check(BuildDataFile(description)),
               {"group 1, character 0", "0xFF000001", "cannot go ahead"});
}

TEST_F(DataFileChecker, RejectsAResourcePastTheLastBlock) {
    PatchLe32(file, Hero().entryOffsets[0] + 4, 510);  // 5000 bytes in blocks 510 and 511: fits
    EXPECT_TRUE(Check(file).empty());
    PatchLe32(file, Hero().entryOffsets[0] + 4, 511);
    ExpectOnly(ViolationKind::PastLastBlock, Check(file),
               {"group 0, character 1", "id 0x00000030", "block 511", "2 blocks"});
    PatchLe32(file, Hero().entryOffsets[0] + 4, 0xFFFFFFFFu);  // the sum must not wrap
    ExpectOnly(ViolationKind::PastLastBlock, Check(file), {"4294967295"});
}

TEST_F(DataFileChecker, WarnsOnlyWhenAskedAboutRiskyPlacementsAndVersions) {
    DataFileDescription description = SmallDescription();
    description.groups[2].characters[0].secondList = std::vector<uint32_t>{0x7, 0x99};
    CharacterDescription& hero = description.groups[0].characters[0];
    hero.resources[0].destinationBlock = 1;  // 0x30: blocks 1 and 2, never sent
    hero.resources[1].destinationBlock = 2;  // 0x10 overlaps it in block 2
    description.groups[2].characters[0].resources[0].destinationBlock = 509;  // the system record
    const std::vector<uint8_t> bytes = BuildDataFile(description);

    EXPECT_TRUE(Check(bytes, false).empty());
    std::vector<ViolationKind> kinds;
    for (const Violation& violation : Check(bytes, true)) {
        EXPECT_EQ(Severity::Warning, violation.severity) << violation.message;
        kinds.push_back(violation.kind);
    }
    EXPECT_EQ((std::vector<ViolationKind>{
                  ViolationKind::NeverSentBlock, ViolationKind::NeverSentBlock,
                  ViolationKind::OverlappingPlacement, ViolationKind::CoversSystemBlock,
                  ViolationKind::MissingSecondResource}),
              kinds);
}
