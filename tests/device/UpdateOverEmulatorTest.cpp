// Whole update runs, engine and device together, against emulated handhelds in process.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "UpdateFixture.h"
#include "device/HandheldFinder.h"
#include "emulator/EmulatedHandheld.h"
#include "engine/DeviceImage.h"
#include "engine/MappedFile.h"
#include "engine/UpdateRun.h"
#include "platform/ProgramDataFile.h"
#include "tests/support/EmulatedSystem.h"

namespace {

class UpdateOverEmulatorTest : public ::testing::Test {
protected:
    EmulatedHandheld& Put(int32_t drive, const HandheldOptions& options = FixtureHandheld()) {
        handhelds.push_back(std::make_unique<EmulatedHandheld>(options));
        test.volumes.Attach(drive, handhelds.back().get());
        return *handhelds.back();
    }
    UpdateResult Run() { return Run(dataFile); }
    UpdateResult Run(DataFileSource& source) {
        HandheldFinder finder(test.Services());
        return RunWholeUpdate({&finder, &test.window, &source, image.get()}).result;
    }
    static std::vector<uint8_t> MemoryOf(EmulatedHandheld& handheld) {
        const uint8_t* bytes = handheld.Memory().Bytes();
        return {bytes, bytes + HandheldMemory::kSize};
    }

    EmulatedSystem test;
    TestDataFile dataFile{BuildDataFile(FixtureDataFile())};
    std::unique_ptr<DeviceImage> image = std::make_unique<DeviceImage>();
    std::vector<std::unique_ptr<EmulatedHandheld>> handhelds;
};

TEST_F(UpdateOverEmulatorTest, FullUpdatePlacesEveryResourceAndClearsTheRest) {
    EmulatedHandheld& handheld = Put(kDriveE);
    ASSERT_EQ(Run(), UpdateResult::Updated);

    const std::vector<std::string> problems = CheckMemory(MemoryOf(handheld), true, true);
    EXPECT_TRUE(problems.empty()) << problems.front();
    const EmulatorRecord& record = handheld.Record();
    EXPECT_TRUE(record.protocolErrors.empty());
    EXPECT_TRUE(record.closingBlockArrived);
    EXPECT_EQ(record.OpenHandles(), 0);
    EXPECT_EQ(record.opens, 3u);  // scan, run, closing block
    EXPECT_EQ(record.CountCommands(0x80), 4u);
    EXPECT_EQ(record.windowsWritten, 256u);
    EXPECT_EQ(test.window.StepTotal(), 510u);
    EXPECT_EQ(test.window.busyCount, 0);
    // The scan's identification, the run's, two reads of one block, the write-back, and the
    // closing block's identification and transaction.
    EXPECT_EQ(record.operations.size(), 1u + 1 + 4 + 4 + 258 + 1 + 4);
    // The probe's first read; then the run's object: before its identification, before its
    // first command, around each of the two window reads (the write-back follows a write),
    // and around the closing block's identification.
    EXPECT_EQ(test.sleeper.pauses.size(), 1u + 1 + 1 + 2 + 2 + 2);
    RecordProperty("sector_operations", static_cast<int>(record.operations.size()));
    RecordProperty("pauses", static_cast<int>(test.sleeper.pauses.size()));
}

// The volume is locked once for the run and once for the closing block; VWIN32 locks around
// each of the four transfers.
TEST_F(UpdateOverEmulatorTest, VolumeLockedForTheRunAndVwin32ForEveryTransfer) {
    for (const bool vwin32 : {false, true}) {
        test.volumes.PresentVwin32(vwin32);
        EmulatedHandheld& handheld = Put(kDriveE);
        ASSERT_EQ(Run(), UpdateResult::Updated) << vwin32;
        EXPECT_EQ(handheld.Record().locks, vwin32 ? 4u : 2u) << vwin32;
        EXPECT_EQ(handheld.Record().unlocks, vwin32 ? 4u : 2u) << vwin32;
        EXPECT_TRUE(CheckMemory(MemoryOf(handheld), true, true).empty()) << vwin32;
    }
}

TEST_F(UpdateOverEmulatorTest, EveryResultLeavesTheHandheldAsItShould) {
    struct Case {
        const char* name;
        UpdateResult result;
        bool updated;
        bool closingBlock;
        void (*adjust)(HandheldOptions&, TestDataFile&);
    };
    const Case cases[] = {
        {"already updated", UpdateResult::AlreadyUpdated, false, true,
         [](HandheldOptions& o, TestDataFile&) { o.versionWord = kFixtureNewVersion; }},
        {"too old", UpdateResult::WrongVersion, false, true,
         [](HandheldOptions& o, TestDataFile&) { o.versionWord = 0x1FF; }},
        {"too new", UpdateResult::WrongVersion, false, true,
         [](HandheldOptions& o, TestDataFile&) { o.versionWord = 0x29A; }},
        {"unknown character", UpdateResult::CharacterNotSupported, false, true,
         [](HandheldOptions& o, TestDataFile&) { o.characterNumber = 9; }},
        {"no data file", UpdateResult::DataFileError, false, true,
         [](HandheldOptions&, TestDataFile& d) { d.bytes.clear(); }},
        // Operations 1 and 2 are the scan's and the run's identification; 5 is the first
        // block's window.
        {"read window fails", UpdateResult::ReadError, false, false,
         [](HandheldOptions& o, TestDataFile&) { o.failOperation = 5; }},
        // 2 + 4 + 4 operations read; then BeginCommand, WriteCommand, 40 windows.
        {"write-back window fails", UpdateResult::WriteError, false, false,
         [](HandheldOptions& o, TestDataFile&) { o.failOperation = 10 + 2 + 41; }},
        {"a limited account may read but not write", UpdateResult::NoRights, false, false,
         [](HandheldOptions& o, TestDataFile&) { o.hostRights = HostRights::ReadOnly; }},
        {"a limited account may not even read", UpdateResult::NoRights, false, false,
         [](HandheldOptions& o, TestDataFile&) { o.hostRights = HostRights::None; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EmulatedSystem seams;
        HandheldOptions options = FixtureHandheld();
        TestDataFile data(BuildDataFile(FixtureDataFile()));
        c.adjust(options, data);
        EmulatedHandheld handheld(options);
        seams.volumes.Attach(kDriveE, &handheld);
        HandheldFinder finder(seams.Services());
        EXPECT_EQ(RunWholeUpdate({&finder, &seams.window, &data, image.get()}).result, c.result);
        EXPECT_EQ(handheld.Record().closingBlockArrived, c.closingBlock);
        EXPECT_EQ(handheld.Record().OpenHandles(), 0);
        if (c.result == UpdateResult::WriteError) {
            EXPECT_EQ(handheld.Record().windowsWritten, 40u);  // partly written, as it stays
            EXPECT_EQ(handheld.Record().opens, 2u);            // no third open for closing
        } else {
            const std::vector<std::string> problems =
                CheckMemory(MemoryOf(handheld), c.updated, c.closingBlock, options);
            EXPECT_TRUE(problems.empty()) << problems.front();
        }
    }
}

TEST_F(UpdateOverEmulatorTest, OldLayoutHandheldIsConvertedFoundAndStamped) {
    HandheldOptions options = FixtureHandheld();
    UseOldLayout(options, 5);  // old number 5: group 2, number 1
    dataFile.bytes = [] {
        DataFileDescription description = FixtureDataFile();
        description.groups[2].characters = description.groups[1].characters;
        return BuildDataFile(description);
    }();
    EmulatedHandheld& handheld = Put(kDriveE, options);
    ASSERT_EQ(Run(), UpdateResult::Updated);
    for (const uint32_t block : {509u, 511u}) {
        EXPECT_EQ(handheld.Memory().VersionWord(block), kFixtureNewVersion);
        EXPECT_EQ(handheld.Memory().CharacterGroup(block), 2);
        EXPECT_EQ(handheld.Memory().CharacterNumber(block), 1);
    }
}

// Another process cuts the data file back to its first page, tables kept and resources gone,
// while the handheld is read. Windows keeps the cut out while the run holds the file; where
// it lands, the run touches no vanished page (a mapping would die of SIGBUS placing the
// resources) and ends with the data file's message before anything is written back.
TEST_F(UpdateOverEmulatorTest, ADataFileCutShortDuringTheRunIsNotWrittenFrom) {
    const std::string path = ::testing::TempDir() + "cut-short.dat";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(dataFile.bytes.data()),
               static_cast<std::streamsize>(dataFile.bytes.size()));
    PathDataFile source(path);
    EmulatedHandheld& handheld = Put(kDriveE);
    bool tried = false;
    bool cut = false;
    test.window.whilePumping = [&] {
        if (std::exchange(tried, true)) return;  // once, as block 509 comes in
        std::error_code error;
        std::filesystem::resize_file(path, 4096, error);
        cut = !error;
    };
    const UpdateResult result = Run(source);
    EXPECT_EQ(result, cut ? UpdateResult::DataFileError : UpdateResult::Updated);
    const std::vector<std::string> problems = CheckMemory(MemoryOf(handheld), !cut, true);
    EXPECT_TRUE(problems.empty()) << problems.front();
    std::filesystem::remove(path);
}

TEST_F(UpdateOverEmulatorTest, NoneOrSeveralHandheldsAreLeftAlone) {
    Put(2, [] {
        HandheldOptions plain = FixtureHandheld();
        plain.label = {'N', 'O', ' ', 'N', 'A', 'M', 'E', ' ', ' ', ' ', ' '};
        return plain;
    }());
    EXPECT_EQ(Run(), UpdateResult::NoHandheld);
    EmulatedHandheld& first = Put(kDriveE);
    EmulatedHandheld& second = Put(9);
    EXPECT_EQ(Run(), UpdateResult::SeveralHandhelds);
    for (EmulatedHandheld* handheld : {&first, &second}) {
        EXPECT_TRUE(handheld->Record().commands.empty());
        EXPECT_EQ(handheld->Record().OpenHandles(), 0);
    }
    EXPECT_EQ(test.window.messages.back().kind, MessageKind::Warning);
}

}  // namespace
