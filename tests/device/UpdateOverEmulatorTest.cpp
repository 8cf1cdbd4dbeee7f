// Whole update runs, engine and device together, against emulated handhelds in process.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "FixtureHandhelds.h"
#include "UpdateFixture.h"
#include "device/ByteOrder.h"
#include "device/HandheldFinder.h"
#include "emulator/EmulatedHandheld.h"
#include "engine/DataFile.h"
#include "engine/DeviceImage.h"
#include "engine/MappedFile.h"
#include "engine/UpdateRun.h"
#include "platform/ProgramDataFile.h"
#include "tests/support/EmulatedSystem.h"
#include "tests/support/ResultTable.h"

namespace {

class UpdateOverEmulatorTest : public ::testing::Test {
protected:
    EmulatedHandheld& Put(int32_t drive, const HandheldOptions& options = FixtureHandheld()) {
        handhelds.push_back(std::make_unique<EmulatedHandheld>(options));
        test.volumes.Attach(drive, handhelds.back().get());
        drives.push_back(drive);
        return *handhelds.back();
    }
    void UnplugAll() {
        for (const int32_t drive : drives) test.volumes.Detach(drive);
        drives.clear();
        handhelds.clear();
    }
    UpdateResult Run() { return Run(dataFile); }
    UpdateResult Run(DataFileSource& source) {
        HandheldFinder finder(test.Services());
        outcome = RunWholeUpdate({&finder, &test.window, &source, image.get()});
        return outcome.result;
    }
    static std::vector<uint8_t> MemoryOf(EmulatedHandheld& handheld) {
        const uint8_t* bytes = handheld.Memory().Bytes();
        return {bytes, bytes + HandheldMemory::kSize};
    }

    EmulatedSystem test;
    TestDataFile dataFile{BuildDataFile(FixtureDataFile())};
    std::unique_ptr<DeviceImage> image = std::make_unique<DeviceImage>();
    std::vector<std::unique_ptr<EmulatedHandheld>> handhelds;
    std::vector<int32_t> drives;
    UpdateOutcome outcome;
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
    EXPECT_EQ(record.lockDepth, 0);
    // Blocks 509 and 511 read, blocks 3 to 511 written back, then the closing block.
    std::vector<std::pair<uint32_t, uint32_t>> transfers;
    for (const MailboxCommand& command : record.commands) {
        if (command.Code() == 0x28 || command.Code() == 0x2A) {
            transfers.emplace_back(command.Code(), command.Block());
        }
    }
    EXPECT_EQ(transfers, (std::vector<std::pair<uint32_t, uint32_t>>{
                             {0x28, 509}, {0x28, 511}, {0x2A, 3}, {0x2A, 512}}));
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

// Each row of the result table: the result, its message, the id it reports, the closing
// block, the handheld's memory, and no handheld left open, nor open while a message is read.
TEST_F(UpdateOverEmulatorTest, EveryResultOfTheTable) {
    for (const ResultRow& row : ResultRows()) {
        SCOPED_TRACE(row.name);
        UnplugAll();
        test.window.messages.clear();
        const auto options = FixtureHandhelds(row.handheld);
        ASSERT_TRUE(options) << row.name;
        for (size_t k = 0; k < options->size(); ++k) Put(kDriveE + int32_t(k), (*options)[k]);
        std::optional<DataFileDescription> data = FixtureDataFileVariant(row.data);
        dataFile.bytes = data ? BuildDataFile(*data) : std::vector<uint8_t>{};
        // The window hears the handheld is in use while data moves, and free while the user
        // reads a message and might unplug it.
        bool openWhileShown = false;
        bool freeWhileMoving = false;
        test.window.whileShown = [&](MessageKind) {
            openWhileShown = openWhileShown || test.window.handheldInUse;
            for (const auto& handheld : handhelds) {
                openWhileShown = openWhileShown || handheld->Record().OpenHandles() != 0;
            }
        };
        test.window.whilePumping = [&] {
            freeWhileMoving = freeWhileMoving || !test.window.handheldInUse;
        };

        EXPECT_EQ(static_cast<int>(Run()), row.result);
        ASSERT_FALSE(test.window.messages.empty());
        EXPECT_EQ(test.window.messages.back().kind, row.kind);
        EXPECT_EQ(test.window.messages.back().text, row.Text());
        // The warning not to unplug comes first when one handheld was found.
        EXPECT_EQ(test.window.messages.size(), row.result == 2 || row.result == 3 ? 1u : 2u);
        EXPECT_EQ(outcome.errorId, row.errorId.value_or(0));
        EXPECT_FALSE(openWhileShown);
        EXPECT_FALSE(freeWhileMoving);
        EXPECT_EQ(test.window.busyCount, 0);
        for (size_t k = 0; k < options->size(); ++k) {
            const EmulatorRecord& record = handhelds[k]->Record();
            EXPECT_EQ(record.closingBlockArrived, row.closingBlock && k == 0);
            EXPECT_EQ(record.OpenHandles(), 0);
            EXPECT_TRUE(record.protocolErrors.empty());
            if (row.memory == "partly") continue;  // as the fault left it
            const std::vector<std::string> problems =
                CheckMemory(MemoryOf(*handhelds[k]), row.memory == "updated",
                            record.closingBlockArrived, (*options)[k]);
            EXPECT_TRUE(problems.empty()) << problems.front();
        }
    }
}

// Rights the kernel refuses cannot be served over FUSE or to Wine: here only.
TEST_F(UpdateOverEmulatorTest, ALimitedAccountIsToldToAskForRights) {
    for (const HostRights rights : {HostRights::ReadOnly, HostRights::None}) {
        UnplugAll();
        HandheldOptions options = FixtureHandheld();
        options.hostRights = rights;
        EmulatedHandheld& handheld = Put(kDriveE, options);
        EXPECT_EQ(Run(), UpdateResult::NoRights);
        EXPECT_EQ(test.window.messages.back().text, MessageText(MsgNeedsAdministrator));
        EXPECT_FALSE(handheld.Record().closingBlockArrived);
        EXPECT_TRUE(CheckMemory(MemoryOf(handheld), false, false).empty());
    }
}

// A handheld keeps only the low 16 bits of the data version, and no run accepts a version
// word above 0x299 or not above 0x200: a file with such a version (an all-zero download, say)
// is an unreadable data file, refused before the handheld is read.
TEST_F(UpdateOverEmulatorTest, DataVersionAHandheldCannotKeepIsADataFileError) {
    DataFileDescription description = FixtureDataFile();
    for (const uint32_t version : {0x29Au, 0xFFFFu, 0x10260u, 0xFFFFFFFFu, 0x200u, 0u, 0x299u}) {
        UnplugAll();
        EmulatedHandheld& handheld = Put(kDriveE);
        description.dataVersion = version;
        dataFile.bytes = BuildDataFile(description);
        const bool takes = version == 0x299;
        EXPECT_EQ(Run(), takes ? UpdateResult::Updated : UpdateResult::DataFileError) << version;
        EXPECT_EQ(handheld.Record().CountCommands(0x28), takes ? 2u : 0u) << version;
        EXPECT_TRUE(handheld.Record().closingBlockArrived);
        EXPECT_EQ(handheld.Memory().VersionWord(511), takes ? 0x299 : kFixtureOldVersion);
    }
}

// Every way a data file can be cut short or point outside itself is an unreadable data file,
// and nothing outside the file is read (ASan watches).
TEST_F(UpdateOverEmulatorTest, MalformedDataFilesAreDataFileErrors) {
    DataFileLayout layout;
    const std::vector<uint8_t> good = BuildDataFile(FixtureDataFile(), &layout);
    const auto size = static_cast<uint32_t>(good.size());
    const DataFileLayout::Character& character = layout.characters[1][1];
    std::vector<std::vector<uint8_t>> broken;
    for (uint32_t cut = 1; cut < kDataHeaderSize; ++cut) {
        broken.emplace_back(good.begin(), good.begin() + cut);
    }
    auto withU32 = [&](uint32_t offset, uint32_t value) {
        broken.push_back(good);
        StoreLe32(broken.back().data() + offset, value);
    };
    withU32(24, size);                                      // group 1's table
    withU32(12, 0x7FFF);                                    // group 1's count past its table
    withU32(character.recordOffset + 12, size - 8);         // the character's entries
    withU32(character.recordOffset + 8, 0x01000000);        // their count
    withU32(*character.requiredListOffset, 0x00FFFFFF);     // the list's count
    withU32(*character.requiredEntryOffset + 8, size - 2);  // the required list's data
    withU32(*character.secondEntryOffset + 8, 0xFFFFFFFF);  // the second list's data
    withU32(character.entryOffsets[0] + 8, size - 4999);    // a resource's bytes
    withU32(character.entryOffsets[1] + 12, 0x10000);       // a resource's length
    for (size_t k = 0; k < broken.size(); ++k) {
        UnplugAll();
        EmulatedHandheld& handheld = Put(kDriveE);
        dataFile.bytes = broken[k];
        EXPECT_EQ(Run(), UpdateResult::DataFileError) << "case " << k;
        EXPECT_TRUE(handheld.Record().closingBlockArrived) << "case " << k;
        EXPECT_TRUE(CheckMemory(MemoryOf(handheld), false, true).empty()) << "case " << k;
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
    // The lock-rule twin of this program runs beside it.
    const std::string path =
        ::testing::TempDir() +
        (std::getenv("ZUMBIKO_LOCK_RULE") ? "cut-short-lock.dat" : "cut-short.dat");
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

}  // namespace
