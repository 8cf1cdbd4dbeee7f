#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/core/RefPtr.h"
#include "device/HandheldDevice.h"
#include "emulator/EmulatedHandheld.h"
#include "engine/DeviceImage.h"
#include "tests/support/EmulatedSystem.h"

namespace {

class HandheldDeviceTest : public ::testing::Test {
protected:
    HandheldDeviceTest() : handheld(HandheldOptions{}) { test.volumes.Attach(kDriveE, &handheld); }

    RefPtr<HandheldDevice> MakeDevice(int32_t drive = kDriveE) {
        return new HandheldDevice(drive, test.Services());
    }

    EmulatedSystem test;
    EmulatedHandheld handheld;
    alignas(512) uint8_t sectors[2 * 512] = {};
};

TEST_F(HandheldDeviceTest, CloseIsHarmlessWhenClosedAndDestructionClosesTheChannel) {
    RefPtr<HandheldDevice> device = MakeDevice();
    device->Close();
    ASSERT_TRUE(device->Open());
    device->Close();
    device->Close();
    EXPECT_EQ(handheld.Record().opens, 1u);
    EXPECT_EQ(handheld.Record().closes, 1u);

    ASSERT_TRUE(device->Open());
    device = nullptr;
    EXPECT_EQ(handheld.Record().OpenHandles(), 0);
    EXPECT_EQ(test.volumes.OpenChannels(), 0);
}

TEST_F(HandheldDeviceTest, OpenTakesTheDrivesVolumeWhenThereIsNoVwin32Device) {
    RefPtr<HandheldDevice> device = MakeDevice();
    ASSERT_TRUE(device->Open());
    EXPECT_TRUE(device->UsesVolumeIo());
    EXPECT_EQ(test.volumes.OpenedVolumes(), std::vector<int32_t>{kDriveE});

    RefPtr<HandheldDevice> absent = MakeDevice(20);
    EXPECT_FALSE(absent->Open());
    EXPECT_EQ(test.volumes.OpenedVolumes().back(), 20);
}

TEST_F(HandheldDeviceTest, OpenNeverNamesAVolumeForADriveIndexOutsideTheLetters) {
    for (const int32_t drive : {-1, 26, 1000}) {
        RefPtr<HandheldDevice> device = MakeDevice(drive);
        EXPECT_FALSE(device->Open()) << drive;
    }
    EXPECT_TRUE(test.volumes.OpenedVolumes().empty());
}

TEST_F(HandheldDeviceTest, Vwin32DeviceOpensForAnyDriveAndAnUnreadableOneFailsOnlyOnReading) {
    test.volumes.PresentVwin32(true);
    RefPtr<HandheldDevice> device = MakeDevice(20);
    ASSERT_TRUE(device->Open());
    EXPECT_FALSE(device->UsesVolumeIo());
    EXPECT_TRUE(test.volumes.OpenedVolumes().empty());
    EXPECT_EQ(device->ReadSectors(0, 1, sectors), -1);

    device->Close();
    device->SetDriveIndex(kDriveE);
    ASSERT_TRUE(device->Open());
    EXPECT_EQ(device->ReadSectors(0, 1, sectors), 512);
}

TEST_F(HandheldDeviceTest, PausesBeforeTheFirstTransferAndEveryChangeOfDirection) {
    struct Case {
        const char* name;
        std::string directions;  // r = read, w = write
        size_t pauses;
    };
    const Case cases[] = {
        {"read, read", "rr", 1},
        {"read, write, read", "rwr", 3},
        {"fresh object writing first", "w", 1},
        {"writes in a row", "www", 1},
    };
    for (const Case& c : cases) {
        EmulatedSystem seams;
        EmulatedHandheld fresh{HandheldOptions{}};
        seams.volumes.Attach(kDriveE, &fresh);
        RefPtr<HandheldDevice> device = new HandheldDevice(kDriveE, seams.Services());
        ASSERT_TRUE(device->Open());
        ASSERT_TRUE(device->LockVolume());
        for (const char d : c.directions) {
            // Sector 200 lies outside the mailbox, so plain writes are just stored.
            const int32_t moved = d == 'r' ? device->ReadSectors(200, 1, sectors)
                                           : device->WriteSectors(200, 1, sectors);
            EXPECT_EQ(moved, 512) << c.name;
        }
        EXPECT_EQ(seams.sleeper.pauses.size(), c.pauses) << c.name;
        for (const uint32_t ms : seams.sleeper.pauses) EXPECT_EQ(ms, 100u) << c.name;
    }
}

TEST_F(HandheldDeviceTest, DirectionOutlivesTheChannel) {
    RefPtr<HandheldDevice> device = MakeDevice();
    ASSERT_TRUE(device->Open());
    ASSERT_EQ(device->ReadSectors(0, 1, sectors), 512);
    device->Close();
    ASSERT_TRUE(device->Open());
    ASSERT_EQ(device->ReadSectors(0, 1, sectors), 512);
    EXPECT_EQ(test.sleeper.pauses.size(), 1u);
    ASSERT_TRUE(device->LockVolume());  // Windows lets only the lock's holder write
    ASSERT_EQ(device->WriteSectors(200, 1, sectors), 512);
    EXPECT_EQ(test.sleeper.pauses.size(), 2u);
}

TEST_F(HandheldDeviceTest, ClosedObjectMovesNothingAndDoesNotPause) {
    RefPtr<HandheldDevice> device = MakeDevice();
    EXPECT_EQ(device->ReadSectors(0, 1, sectors), -1);
    EXPECT_EQ(device->WriteSectors(200, 1, sectors), -1);
    EXPECT_FALSE(device->LockVolume());
    EXPECT_FALSE(device->UnlockVolume());
    EXPECT_FALSE(device->Identify());
    EXPECT_TRUE(test.sleeper.pauses.empty());
    EXPECT_EQ(device->LastDirection(), HandheldDevice::NoDirection);
    EXPECT_TRUE(handheld.Record().operations.empty());
}

TEST_F(HandheldDeviceTest, OnlyWholeSectorsThroughAlignedBuffersReachTheHandheld) {
    RefPtr<HandheldDevice> device = MakeDevice();
    ASSERT_TRUE(device->Open());
    EXPECT_EQ(device->ReadSectors(0, 1, sectors + 1), -1);
    EXPECT_EQ(device->WriteSectors(200, 1, sectors + 256), -1);
    EXPECT_EQ(device->ReadSectors(0, 0, sectors), -1);
    EXPECT_EQ(device->ReadSectors(0, 1, nullptr), -1);
    EXPECT_TRUE(handheld.Record().operations.empty());
    EXPECT_EQ(device->ReadSectors(0, 2, sectors), 1024);
}

// Stands for a volume that ends in the middle of a request.
class ShortChannel final : public SectorChannel {
public:
    int32_t ReadSectors(int32_t, uint32_t, uint32_t, uint8_t*) override { return 256; }
    int32_t WriteSectors(int32_t, uint32_t, uint32_t, const uint8_t*) override { return 512; }
    VolumeLock LockVolume(int32_t) override { return VolumeLock::Locked; }
    bool UnlockVolume(int32_t) override { return true; }
};

class ShortVolumes final : public VolumeAccess {
public:
    uint32_t PresentVolumes() override { return 1u << kDriveE; }
    std::unique_ptr<SectorChannel> OpenVwin32() override { return nullptr; }
    std::unique_ptr<SectorChannel> OpenVolume(int32_t) override {
        return std::make_unique<ShortChannel>();
    }
};

TEST_F(HandheldDeviceTest, ShortTransferIsAFailure) {
    ShortVolumes volumes;
    RefPtr<HandheldDevice> device =
        new HandheldDevice(kDriveE, {&volumes, &test.sleeper, &test.window});
    ASSERT_TRUE(device->Open());
    EXPECT_EQ(device->ReadSectors(0, 1, sectors), -1);
    EXPECT_EQ(device->WriteSectors(0, 2, sectors), -1);
    EXPECT_FALSE(device->Identify());
}

TEST_F(HandheldDeviceTest, BothPathsLockTheDriveWithoutMovingASector) {
    RefPtr<HandheldDevice> device = MakeDevice();
    for (const bool vwin32 : {false, true}) {
        test.volumes.PresentVwin32(vwin32);
        ASSERT_TRUE(device->Open());
        EXPECT_TRUE(device->LockVolume());
        EXPECT_EQ(handheld.Record().lockDepth, 1);
        EXPECT_TRUE(device->UnlockVolume());
        EXPECT_EQ(handheld.Record().lockDepth, 0);
        device->Close();
    }
    EXPECT_EQ(handheld.Record().locks, 2u);
    EXPECT_TRUE(handheld.Record().operations.empty());
}

// The device image over a handheld: what it reads, what it refuses to ask for, what goes back.
TEST_F(HandheldDeviceTest, ImageReadsUpToTheLastBlockAndRefusesPastIt) {
    RefPtr<HandheldDevice> device = MakeDevice();
    ASSERT_EQ(device->OpenIdentified(), HandheldDevice::RunOpening::Ready);
    std::fill_n(handheld.Memory().Block(511), 4096, 0x5A);
    auto image = std::make_unique<DeviceImage>();
    EXPECT_TRUE(image->ReadImageBlocks(*device, test.window, 511, 4096));
    EXPECT_EQ(image->Block(511)[0], 0x5A);
    EXPECT_EQ(image->Block(511)[4095], 0x5A);

    const size_t operations = handheld.Record().operations.size();
    EXPECT_FALSE(image->ReadImageBlocks(*device, test.window, 512, 4096));
    EXPECT_FALSE(image->ReadImageBlocks(*device, test.window, 511, 4097));
    EXPECT_EQ(handheld.Record().operations.size(), operations) << "the handheld was asked";
    EXPECT_EQ(test.window.busyCount, 0);
}

TEST_F(HandheldDeviceTest, ImageLowersBusyCountWhenTheHandheldFails) {
    HandheldOptions options;
    options.vanishAtOperation = 2;  // after the look at sector 0
    EmulatedHandheld failing(options);
    test.volumes.Attach(kDriveE, &failing);
    RefPtr<HandheldDevice> device = MakeDevice();
    auto image = std::make_unique<DeviceImage>();
    ASSERT_EQ(device->OpenIdentified(), HandheldDevice::RunOpening::Ready);
    EXPECT_FALSE(image->ReadImageBlocks(*device, test.window, 509, 4096));
    EXPECT_FALSE(image->WriteBack(*device, test.window));
    EXPECT_EQ(test.window.busyCount, 0);
    device = nullptr;
}

TEST_F(HandheldDeviceTest, WriteBackSendsBlocksThreeToLastInOneTransfer) {
    RefPtr<HandheldDevice> device = MakeDevice();
    ASSERT_EQ(device->OpenIdentified(), HandheldDevice::RunOpening::Ready);
    auto image = std::make_unique<DeviceImage>();
    image->Block(3)[0] = 0x77;
    image->Block(511)[4095] = 0x88;
    image->Block(2)[0] = 0x99;
    const uint8_t blockTwo = handheld.Memory().Block(2)[0];
    EXPECT_TRUE(image->WriteBack(*device, test.window));
    std::vector<std::pair<uint32_t, uint32_t>> transfers;
    for (const MailboxCommand& command : handheld.Record().commands) {
        if (command.Code() == 0x2A) transfers.emplace_back(command.Block(), command.ByteCount());
    }
    EXPECT_EQ(transfers, (std::vector<std::pair<uint32_t, uint32_t>>{{3, 509 * 4096}}));
    EXPECT_EQ(handheld.Memory().Block(3)[0], 0x77);
    EXPECT_EQ(handheld.Memory().Block(511)[4095], 0x88);
    EXPECT_EQ(handheld.Memory().Block(2)[0], blockTwo) << "blocks below 3 are never sent";
    EXPECT_EQ(test.window.StepTotal(), 509u) << "the bar goes from empty to full";
}

}  // namespace
