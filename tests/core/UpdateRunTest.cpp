#include <gtest/gtest.h>

#include <memory>

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
        scanner.attached.push_back(RefPtr<FakeHandheld>(new FakeHandheld(drive, &liveDevices)));
        FakeHandheld& handheld = *scanner.attached.back();
        handheld.SetIdentity(version, group, number);
        return handheld;
    }

    UpdateResult Run() {
        window.messages.clear();
        controller.SetState(UpdateController::UpdateRequested);
        controller.Step();
        EXPECT_EQ(UpdateController::Updating, controller.GetState());
        controller.Step();
        EXPECT_EQ(UpdateController::Ready, controller.GetState());
        return controller.LastOutcome().result;
    }

    int liveDevices = 0;
    FakeScanner scanner;
    RecordingWindow window;
    TestDataFile dataFile;
    std::unique_ptr<DeviceImage> image = std::make_unique<DeviceImage>();
    UpdateController controller;
};

}  // namespace

// What the emulator cannot show stays here, over the doubles of tests/support/StandIns.h:
// the image itself, and how many device objects are alive. The rest is in tests/device.

TEST_F(UpdateRun, ResourcesPlacedBeforeAMissingOneStayInTheImage) {
    DataFileDescription description = StandardDescription();
    description.groups[0].characters[1].resources.pop_back();
    dataFile.bytes = BuildDataFile(description);
    FakeHandheld& handheld = Attach(kDriveE, 0x210, 0, 1);

    EXPECT_EQ(UpdateResult::DataMissing, Run());
    EXPECT_EQ(Pattern(100, 2)[99], image->Block(100)[99]) << "earlier resources stay in the image";
    EXPECT_EQ(0, handheld.Block(100)[99]) << "but reach no handheld";
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
