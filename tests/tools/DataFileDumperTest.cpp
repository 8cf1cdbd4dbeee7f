#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>

#include "tests/tools/DataFileExamples.h"
#include "tools/zdat/DataFileChecker.h"
#include "tools/zdat/DataFileDumper.h"
#include "tools/zdat/HexText.h"

namespace {

std::string Dump(const std::vector<uint8_t>& file) {
    std::ostringstream listing;
    DumpDataFile(file.data(), file.size(), listing);
    return listing.str();
}

bool Has(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

// A listing starts with the file's size; what the checker passes, the dumper finds whole.
void ExpectAgrees(const std::vector<uint8_t>& file, const std::vector<Violation>& violations) {
    const std::string dump = Dump(file);
    EXPECT_EQ(0u, dump.rfind("file: " + std::to_string(file.size()) + " byte", 0)) << dump;
    if (IsWellFormed(violations)) {
        EXPECT_FALSE(Has(dump, "passes the end of the file") || Has(dump, "missing")) << dump;
    }
}

void ExpectContains(const std::string& text, const std::string& part) {
    EXPECT_NE(std::string::npos, text.find(part)) << "\"" << part << "\" not in:\n" << text;
}

}  // namespace

TEST(DataFileDumper, ListsHeaderCharactersEntriesListsAndPreviews) {
    DataFileLayout layout;
    const std::string dump = Dump(BuildDataFile(SmallDescription(), &layout));
    ExpectContains(dump, "header: data version 0x00000250, reserved 0xA5A5A5A5");
    ExpectContains(dump, "group 1: 1 character, table at " + HexText(layout.tableOffsets[1]));
    ExpectContains(dump, "character 1 (record at " + HexText(layout.characters[0][0].recordOffset) +
                             ", tag 0xC0DE0001): 4 entry records");
    ExpectContains(dump, "id 0x00000030: block 20, data at " +
                             HexText(layout.characters[0][0].dataOffsets[0]) +
                             ", 5000 bytes (2 blocks): 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 "
                             "13 14 15 16 ...\n");
    ExpectContains(dump, "id 0x00000005: block 100, data at ");
    ExpectContains(dump, ", 0 bytes (0 blocks)\n");
    ExpectContains(dump, "id 0x00000001: block 10, data at " +
                             HexText(layout.characters[2][1].dataOffsets[0]) +
                             ", 1 byte (1 block): 01\n");
    ExpectContains(dump, "id 0xFF000000 required list at " +
                             HexText(*layout.characters[0][0].requiredListOffset) +
                             ": 2 ids: 0x00000010 0x00000030\n");
    ExpectContains(dump, "id 0xFF000001 second list at " +
                             HexText(*layout.characters[0][1].secondListOffset) + ": 0 ids\n");
}

TEST(DataFileDumper, NamesWhatLiesOutsideTheFileAndShowsWhatLiesInside) {
    DataFileLayout layout;
    std::vector<uint8_t> file = BuildDataFile(SmallDescription(), &layout);
    const auto size = static_cast<uint32_t>(file.size());
    PatchLe32(file, 20 + 8, size - 20);  // group 2: one of its three records still fits
    PatchLe32(file, *layout.characters[0][0].requiredEntryOffset + 8, size);
    PatchLe32(file, layout.characters[0][0].entryOffsets[0] + 12, size);
    const std::string dump = Dump(file);
    ExpectContains(dump, "(table passes the end of the file; 1 of 3 records shown)");
    ExpectContains(dump, "required list at " + HexText(size) + ": passes the end of the file");
    ExpectContains(dump,
                   "(" + std::to_string(size / 4096 + 1) + " blocks): passes the end of the file");

    file.resize(31);
    EXPECT_EQ("file: 31 bytes\nheader: missing, 32 bytes needed\n", Dump(file));
}

// Checker and dumper read untrusted files: every damage must end in a report, not a crash
// (the asan preset turns any stray read into a failure).
TEST(MalformedDataFile, EveryTruncationIsRejectedAndDumpedSafely) {
    DataFileLayout layout;
    const std::vector<uint8_t> good = BuildDataFile(SmallDescription(), &layout);
    // Every cut through the tables and lists, then a sample of cuts through the resources.
    const size_t structuresEnd = layout.characters[0][0].dataOffsets[0];
    for (size_t size = 0; size < good.size(); size += size < structuresEnd ? 1 : 37) {
        const std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<long>(size));
        EXPECT_FALSE(IsWellFormed(CheckDataFile(cut.data(), cut.size()))) << "size " << size;
        const std::string dump = Dump(cut);
        EXPECT_TRUE(Has(dump, "passes the end of the file") || Has(dump, "header: missing"))
            << "size " << size << ":\n"
            << dump;
    }
    const std::vector<uint8_t> lastByteMissing(good.begin(), good.end() - 1);
    EXPECT_FALSE(IsWellFormed(CheckDataFile(lastByteMissing.data(), lastByteMissing.size())));
}

TEST(MalformedDataFile, HostileFieldValuesAndRandomBytesAreSurvived) {
    DataFileLayout layout;
    const std::vector<uint8_t> good = BuildDataFile(SmallDescription(), &layout);
    const auto size = static_cast<uint32_t>(good.size());
    // Structures end before the first resource's bytes; past them only data would change.
    for (uint32_t offset = 0; offset < layout.characters[0][0].dataOffsets[0]; offset += 4) {
        for (const uint32_t value : {0xFFFFFFFFu, 0xFFFFFFF0u, size - 1, 0u}) {
            std::vector<uint8_t> file = good;
            PatchLe32(file, offset, value);
            ExpectAgrees(file, CheckDataFile(file.data(), file.size(), CheckOptions{true}));
        }
    }

    std::mt19937 random(20240607);
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> file(random() % 700);
        for (uint8_t& byte : file) byte = static_cast<uint8_t>(random());
        // Small counts and offsets too, so that the tables are often found inside.
        if (round % 2 == 0 && file.size() >= 32) {
            for (uint32_t field = 8; field < 32; field += 4) {
                PatchLe32(file, field, static_cast<uint32_t>(random() % (file.size() + 8)));
            }
        }
        ExpectAgrees(file, CheckDataFile(file.data(), file.size(), CheckOptions{true}));
    }
}

// Each entry table and list is read once, so a few KiB of shared references cannot make the
// listing or the report grow past a small multiple of the file (3 * 200^3 list ids before).
TEST(MalformedDataFile, SharedTablesAndListsAreReadOnce) {
    const std::vector<uint8_t> file = SharedStructuresFile(200);
    EXPECT_LT(Dump(file).size(), 32 * file.size());
    size_t reported = 0;
    for (const Violation& violation : CheckDataFile(file.data(), file.size(), CheckOptions{true})) {
        reported += violation.message.size();
    }
    EXPECT_LT(reported, 32 * file.size());
}
