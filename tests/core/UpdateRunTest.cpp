#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "device/ByteOrder.h"
#include "engine/DataFile.h"
#include "engine/UpdateController.h"
#include "tests/support/StandIns.h"
#include "tools/zdat/DataFileWriter.h"

namespace {

constexpr uint32_t kDataVersion = 0x250;
constexpr int32_t kDriveE = 4;
constexpr int32_t kDriveF = 5;

std::vector<uint8_t> Pattern(size_t length, uint8_t seed) {
    std::vector<uint8_t> bytes(length);
    for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 7);
    return bytes;
}

// Group 0, character 1 needs three resources; group 2, character 0 one.
DataFileDescription StandardDescription() {
    DataFileDescription description;
    description.dataVersion = kDataVersion;
    CharacterDescription hero;
    hero.number = 1;
    hero.resources = {{0x10, 3, Pattern(5000, 1), std::nullopt},
                      {0x11, 100, Pattern(100, 2), std::nullopt},
                      {0x12, 200, Pattern(4096, 3), std::nullopt}};
    hero.requiredList = std::vector<uint32_t>{0x10, 0x11, 0x12};
    hero.secondList = std::vector<uint32_t>{};
    description.groups[0].characters = {
        CharacterDescription{0, 0, {}, std::vector<uint32_t>{}, std::vector<uint32_t>{}}, hero};
    CharacterDescription robot;
    robot.number = 0;
    robot.resources = {{0x20, 300, Pattern(8192, 4), std::nullopt}};
    robot.requiredList = std::vector<uint32_t>{0x20};
    robot.secondList = std::vector<uint32_t>{0x20};
    description.groups[2].characters = {robot};
    return description;
}

class UpdateRun : public ::testing::Test {
protected:
    void SetUp() override {
        controller.Attach({&scanner, &window, &dataFile, image.get()});
        dataFile.bytes = BuildDataFile(StandardDescription());
        g_errorId = 0;
        languageIndex = kLanguageEnglish;
    }
    void TearDown() override {
        controller.Detach();
        languageIndex = kLanguageEnglish;
        EXPECT_EQ(0, window.busyCount);
        EXPECT_EQ(0, dataFile.openViews) << "the data file was left open";
        for (const RefPtr<FakeHandheld>& handheld : scanner.attached) {
            EXPECT_FALSE(handheld->open) << "a handheld was left open";
        }
    }

    FakeHandheld& Attach(int32_t drive, uint16_t version, int16_t group, int16_t number) {
        scanner.attached.push_back(
            RefPtr<FakeHandheld>(new FakeHandheld(drive, log, &liveDevices)));
        FakeHandheld& handheld = *scanner.attached.back();
        handheld.SetIdentity(version, group, number);
        return handheld;
    }

    UpdateResult Run() {
        log.clear();
        window.messages.clear();
        controller.SetState(UpdateController::UpdateRequested);
        controller.Step();
        EXPECT_EQ(UpdateController::Updating, controller.GetState());
        controller.Step();
        EXPECT_EQ(UpdateController::Ready, controller.GetState());
        ExpectHandheldInUseOnlyForItsCalls();
        return controller.LastOutcome().result;
    }

    // The window hears that the handheld is in use around every call that reaches it, and
    // around no message.
    void ExpectHandheldInUseOnlyForItsCalls() const {
        bool inUse = false;
        for (const std::string& call : log) {
            if (call == "HandheldInUse" || call == "HandheldFree") inUse = call == "HandheldInUse";
            if (call == "Open" || call == "Close" || call == "WriteClosingBlock" ||
                call.rfind("ReadBlocks", 0) == 0 || call.rfind("WriteBlocks", 0) == 0) {
                EXPECT_TRUE(inUse) << call;
            }
            if (call.rfind("ShowMessage", 0) == 0) {
                EXPECT_FALSE(inUse) << call;
            }
        }
        EXPECT_FALSE(inUse);
    }

    // The message a run ended with: the last one shown.
    const RecordingWindow::Message& ResultMessage() const { return window.messages.back(); }

    // A run that ended short of an update: the result's message (its text as it stands when it
    // reports no id), the closing block exactly where the result calls for it, and nothing
    // written back unless the write-back itself failed.
    void ExpectEnded(UpdateResult result, const FakeHandheld& handheld) const {
        const auto expected = MessageForResult(result);
        if (expected.id != MsgDataMissing && expected.id != MsgNoRoom) {
            EXPECT_EQ(MessageText(expected.id), ResultMessage().text);
        }
        EXPECT_EQ(expected.kind, ResultMessage().kind);
        EXPECT_EQ(expected.writesClosingBlock, Contains("WriteClosingBlock"));
        EXPECT_EQ(expected.writesClosingBlock, handheld.closingBlockWritten);
        EXPECT_EQ(result == UpdateResult::WriteError, Contains("WriteBlocks 3 2084864"));
    }

    bool Contains(const std::string& call) const {
        return std::find(log.begin(), log.end(), call) != log.end();
    }

    CallLog log;
    int liveDevices = 0;
    FakeScanner scanner{&log};
    RecordingWindow window{&log};
    TestDataFile dataFile{{}, &log};
    std::unique_ptr<DeviceImage> image = std::make_unique<DeviceImage>();
    UpdateController controller;
};

}  // namespace

TEST_F(UpdateRun, UpdatesTheHandheldInTheOrderOfTheRoad) {
    FakeHandheld& handheld = Attach(kDriveE, 0x210, 0, 1);
    std::fill_n(handheld.Block(510), kBlockSize, 0xCC);

    EXPECT_EQ(UpdateResult::Updated, Run());

    const CallLog expected = {"Hide UpdateButton",
                              "FindHandhelds",
                              "ShowMessage 48",
                              "CreateDevice 4",
                              "SetProgressRange 0 1",
                              "SetProgressPos 0",
                              "Show ProgressDisplay",
                              "OpenDataFile",
                              "HandheldInUse",
                              "Open",
                              "Identify",
                              "ReadBlocks 509",
                              "ReadBlocks 511",
                              "SetProgressRange 0 509",
                              "SetProgressPos 0",
                              "WriteBlocks 3 2084864",
                              "Close",
                              "Hide ProgressDisplay",
                              "WriteClosingBlock",
                              "Open",
                              "Identify",
                              "WriteBlocks 512 4096",
                              "Close",
                              "HandheldFree",
                              "ShowMessage 64",
                              "Show UpdateButton",
                              "Hide LanguageChoice"};
    EXPECT_EQ(expected, log);
    EXPECT_EQ(MessageText(MsgDoNotRemove), window.messages.front().text);
    EXPECT_EQ(MessageText(MsgUpdated), ResultMessage().text);
    EXPECT_EQ(MessageKind::Information, ResultMessage().kind);

    const std::vector<uint8_t> first = Pattern(5000, 1);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), handheld.Block(3)));
    EXPECT_TRUE(
        std::all_of(handheld.Block(3) + 5000, handheld.Block(5), [](uint8_t b) { return b == 0; }));
    EXPECT_TRUE(std::all_of(handheld.Block(510), handheld.Block(511), [](uint8_t b) {
        return b == 0;
    })) << "untouched blocks go out as the image holds them: zeros in a fresh process";
    EXPECT_EQ(kDataVersion, handheld.Record(509).VersionWord());
    EXPECT_EQ(kDataVersion, handheld.Record(511).VersionWord());
    EXPECT_TRUE(handheld.closingBlockWritten);
    EXPECT_EQ(handheld.GetDriveIndex(), g_currentDevice->GetDriveIndex());
}

TEST_F(UpdateRun, NoHandheldShowsAndHidesProgressAndTouchesNothing) {
    EXPECT_EQ(UpdateResult::NoHandheld, Run());
    EXPECT_EQ((CallLog{"Hide UpdateButton", "FindHandhelds", "SetProgressRange 0 1",
                       "SetProgressPos 0", "Show ProgressDisplay", "Hide ProgressDisplay",
                       "ShowMessage 48", "Show UpdateButton", "Hide LanguageChoice"}),
              log);
    EXPECT_EQ(MessageText(MsgNoDevice), ResultMessage().text);
    EXPECT_FALSE(g_currentDevice);
}

TEST_F(UpdateRun, SeveralHandheldsAreNeitherOpenedNorMadeCurrent) {
    FakeHandheld& e = Attach(kDriveE, 0x210, 0, 1);
    FakeHandheld& f = Attach(kDriveF, 0x210, 0, 1);
    EXPECT_EQ(UpdateResult::SeveralHandhelds, Run());
    ExpectEnded(UpdateResult::SeveralHandhelds, e);
    EXPECT_EQ(1u, window.messages.size()) << "no do-not-remove warning";
    EXPECT_EQ(0, e.opens + f.opens);
    EXPECT_FALSE(g_currentDevice);
}

TEST_F(UpdateRun, MissingDataFileStillWritesTheClosingBlock) {
    FakeHandheld& handheld = Attach(kDriveE, 0x210, 0, 1);
    dataFile.missing = true;
    EXPECT_EQ(UpdateResult::DataFileError, Run());
    ExpectEnded(UpdateResult::DataFileError, handheld);
    EXPECT_EQ(1, handheld.opens) << "opened only for the closing block";
    EXPECT_FALSE(Contains("ReadBlocks 509"));
}

TEST_F(UpdateRun, ReadFailuresSkipTheClosingBlock) {
    FakeHandheld& handheld = Attach(kDriveE, 0x210, 0, 1);
    handheld.failOpen = true;
    EXPECT_EQ(UpdateResult::ReadError, Run());
    ExpectEnded(UpdateResult::ReadError, handheld);
    EXPECT_FALSE(Contains("Close")) << "a device that did not open is not closed";

    handheld.failOpen = false;
    handheld.failReadAt = 511;
    EXPECT_EQ(UpdateResult::ReadError, Run());
    ExpectEnded(UpdateResult::ReadError, handheld);
    EXPECT_TRUE(Contains("Close"));
}

// The handheld's system record decides: a version outside the accepted range is an old
// handheld, one not below the data version is up to date, and a character the data file does
// not hold is not supported.
TEST_F(UpdateRun, HandheldsTheUpdateDoesNotTakeEndWithTheirResult) {
    struct Record {
        uint16_t version;
        int16_t group;
        int16_t number;
        UpdateResult result;
    };
    const UpdateResult old = UpdateResult::WrongVersion;
    const UpdateResult unknown = UpdateResult::CharacterNotSupported;
    // Group 0 has two characters, so number 2 equals its count.
    for (const Record record :
         {Record{0x1FF, 0, 1, old}, Record{0x29A, 0, 1, old}, Record{0x000, 0, 1, old},
          Record{0xFFFF, 0, 1, old}, Record{kDataVersion, 0, 1, UpdateResult::AlreadyUpdated},
          Record{0x210, 0, 2, unknown}, Record{0x210, 0, -1, unknown}, Record{0x210, 1, 0, unknown},
          Record{0x210, 3, 0, unknown}, Record{0x210, -1, 1, unknown},
          Record{0x210, 2, 7, unknown}}) {
        SCOPED_TRACE(testing::Message()
                     << std::hex << record.version << " " << record.group << "/" << record.number);
        scanner.attached.clear();
        FakeHandheld& handheld = Attach(kDriveE, record.version, record.group, record.number);
        EXPECT_EQ(record.result, Run());
        ExpectEnded(record.result, handheld);
    }
}

// A handheld keeps only the low 16 bits of the data version, and no run accepts a version
// word above 0x299 or below 0x200: a file with a higher one, or one not above 0x200 (an
// all-zero download, say), is refused before the handheld is read.
TEST_F(UpdateRun, DataVersionAHandheldCannotKeepIsADataFileError) {
    FakeHandheld& handheld = Attach(kDriveE, 0x210, 0, 1);
    DataFileDescription description = StandardDescription();
    for (const uint32_t version : {0x29Au, 0xFFFFu, 0x10240u, 0xFFFFFFFFu, 0x200u, 0u, 0x299u}) {
        description.dataVersion = version;
        dataFile.bytes = BuildDataFile(description);
        const UpdateResult expected =
            version == 0x299 ? UpdateResult::Updated : UpdateResult::DataFileError;
        EXPECT_EQ(expected, Run()) << std::hex << version;
        EXPECT_EQ(MessageText(MessageForResult(expected).id), ResultMessage().text);
        EXPECT_EQ(expected == UpdateResult::Updated, Contains("ReadBlocks 509"));
    }
    EXPECT_EQ(0x299, handheld.Record(511).VersionWord());
}

TEST_F(UpdateRun, OldRecordIsConvertedBeforeTheLookUp) {
    FakeHandheld& handheld = Attach(kDriveE, 0x201, 1, 4);  // old number 4: group 2, number 0
    EXPECT_EQ(UpdateResult::Updated, Run());
    for (uint32_t block : {509u, 511u}) {
        EXPECT_EQ(kDataVersion, handheld.Record(block).VersionWord());
        EXPECT_EQ(2, handheld.Record(block).CharacterGroup());
        EXPECT_EQ(0, handheld.Record(block).CharacterNumber());
    }
    EXPECT_EQ(Pattern(8192, 4)[8191], handheld.Block(301)[4095]);
}

TEST_F(UpdateRun, MissingThirdResourceReportsItsIdAndWritesNothingBack) {
    DataFileDescription description = StandardDescription();
    description.groups[0].characters[1].resources.pop_back();
    dataFile.bytes = BuildDataFile(description);
    FakeHandheld& handheld = Attach(kDriveE, 0x210, 0, 1);

    EXPECT_EQ(UpdateResult::DataMissing, Run());
    ExpectEnded(UpdateResult::DataMissing, handheld);
    EXPECT_EQ(0x12u, g_errorId);
    const std::wstring& text = ResultMessage().text;
    EXPECT_EQ(L"\nError code=00000012", text.substr(text.size() - 20));
    EXPECT_EQ(Pattern(100, 2)[99], image->Block(100)[99]) << "earlier resources stay in the image";
}

TEST_F(UpdateRun, MissingListsAreReportedByTheirIds) {
    FakeHandheld& handheld = Attach(kDriveE, 0x210, 0, 1);
    DataFileDescription description = StandardDescription();
    description.groups[0].characters[1].secondList.reset();
    dataFile.bytes = BuildDataFile(description);
    EXPECT_EQ(UpdateResult::DataMissing, Run());
    ExpectEnded(UpdateResult::DataMissing, handheld);
    EXPECT_EQ(0xFF000001u, g_errorId);
    EXPECT_NE(std::wstring::npos, ResultMessage().text.find(L"Error code=FF000001"));
    EXPECT_EQ(Pattern(4096, 3)[0], image->Block(200)[0]) << "placed before the check";

    description.groups[0].characters[1].requiredList.reset();
    dataFile.bytes = BuildDataFile(description);
    languageIndex = kLanguageGerman;
    EXPECT_EQ(UpdateResult::DataMissing, Run());
    EXPECT_EQ(0xFF000000u, g_errorId);
    EXPECT_NE(std::wstring::npos, ResultMessage().text.find(L"Fehlerkode=FF000000"));
}

TEST_F(UpdateRun, ResourcePastTheLastBlockHasNoRoom) {
    DataFileDescription description = StandardDescription();
    description.groups[0].characters[1].resources[1] = {0x11, 511, Pattern(4097, 5), std::nullopt};
    dataFile.bytes = BuildDataFile(description);
    FakeHandheld& handheld = Attach(kDriveE, 0x210, 0, 1);
    EXPECT_EQ(UpdateResult::DataTooLarge, Run());
    ExpectEnded(UpdateResult::DataTooLarge, handheld);
    EXPECT_EQ(0x11u, g_errorId);
    EXPECT_NE(std::wstring::npos, ResultMessage().text.find(L"Error code=00000011"));
}

TEST_F(UpdateRun, FailedWriteBackSkipsTheClosingBlock) {
    FakeHandheld& handheld = Attach(kDriveE, 0x210, 0, 1);
    handheld.failWrites = true;
    EXPECT_EQ(UpdateResult::WriteError, Run());
    ExpectEnded(UpdateResult::WriteError, handheld);
}

TEST_F(UpdateRun, SecondRunReplacesTheDeviceAndKeepsTheImage) {
    Attach(kDriveE, 0x210, 0, 1);
    EXPECT_EQ(UpdateResult::Updated, Run());
    HandheldDevice* first = g_currentDevice.Get();

    scanner.attached.clear();
    EXPECT_EQ(1, liveDevices) << "only the current device holds the first handheld";
    FakeHandheld& second = Attach(kDriveF, 0x220, 2, 0);
    EXPECT_EQ(UpdateResult::Updated, Run());
    EXPECT_NE(first, g_currentDevice.Get());
    EXPECT_EQ(1, liveDevices) << "the first device was released";
    EXPECT_EQ(Pattern(100, 2)[50], second.Block(100)[50])
        << "blocks this run did not fill carry what the first run placed";
}

// Every way a data file can be cut short or point outside itself is an
// unreadable data file, and nothing outside the file is read (ASan watches).
TEST_F(UpdateRun, MalformedDataFilesAreDataFileErrors) {
    DataFileLayout layout;
    const std::vector<uint8_t> good = BuildDataFile(StandardDescription(), &layout);
    const uint32_t size = static_cast<uint32_t>(good.size());
    const DataFileLayout::Character& hero = layout.characters[0][1];

    std::vector<std::vector<uint8_t>> broken;
    for (uint32_t cut = 1; cut < kDataHeaderSize; ++cut) {
        broken.emplace_back(good.begin(), good.begin() + cut);
    }
    auto withU32 = [&](uint32_t offset, uint32_t value) {
        broken.push_back(good);
        StoreLe32(broken.back().data() + offset, value);
    };
    withU32(20, size);                          // group 0's table
    withU32(8, 0x7FFF);                         // group 0's count past its table
    withU32(hero.recordOffset + 12, size - 8);  // the character's entries
    withU32(hero.recordOffset + 8, 0x01000000);
    withU32(*hero.requiredListOffset, 0x00FFFFFF);   // the list's count
    withU32(hero.entryOffsets[3] + 8, size - 2);     // the required list entry's data
    withU32(hero.entryOffsets[4] + 8, 0xFFFFFFFF);   // the second list entry's data
    withU32(hero.entryOffsets[0] + 8, size - 4999);  // a resource's bytes
    withU32(hero.entryOffsets[2] + 12, 0x10000);     // a resource's length

    for (size_t k = 0; k < broken.size(); ++k) {
        scanner.attached.clear();
        FakeHandheld& handheld = Attach(kDriveE, 0x210, 0, 1);
        dataFile.bytes = broken[k];
        EXPECT_EQ(UpdateResult::DataFileError, Run()) << "case " << k;
        ExpectEnded(UpdateResult::DataFileError, handheld);
    }
}

TEST(UpdateControllerStates, StepMovesFromStartToChoosingAndUpdateWaitsOnePass) {
    CallLog log;
    RecordingWindow window(&log);
    UpdateController controller;
    controller.Attach({nullptr, &window, nullptr, nullptr});

    controller.Step();
    EXPECT_EQ(UpdateController::ChoosingLanguage, controller.GetState());
    EXPECT_EQ((CallLog{"Hide UpdateButton", "Show LanguageChoice"}), log);
    controller.Step();
    EXPECT_EQ(UpdateController::ChoosingLanguage, controller.GetState()) << "waits for a language";

    controller.SetState(UpdateController::Ready);
    controller.Step();
    EXPECT_EQ(UpdateController::Ready, controller.GetState());

    log.clear();
    controller.SetState(UpdateController::UpdateRequested);
    controller.Step();
    EXPECT_EQ(UpdateController::Updating, controller.GetState());
    EXPECT_TRUE(log.empty()) << "the pass before the run changes nothing on screen";
}
