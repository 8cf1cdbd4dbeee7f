// The Windows sector paths byte for byte, against a stand-in for the kernel calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "EmulatedRun.h"
#include "UpdateFixture.h"
#include "app/core/RefPtr.h"
#include "device/HandheldDevice.h"
#include "device/HandheldFinder.h"
#include "platform/win32/Vwin32Channel.h"
#include "platform/win32/Win32Volumes.h"
#include "tests/support/EmulatedSystem.h"
#include "tests/support/FakeKernel.h"

namespace {

const HANDLE kVwin32Handle = FakeKernel::kVwin32Handle;
const HANDLE kVolumeHandle = FakeKernel::kVolumeHandle;

class Win32ChannelTest : public ::testing::Test {
protected:
    RefPtr<HandheldDevice> Device(int32_t drive) {
        return new HandheldDevice(drive, {&volumes, &sleeper, &progress});
    }

    FakeKernel kernel;
    Win32Volumes volumes{kernel};
    CountingSleeper sleeper;
    RecordingWindow progress;
    alignas(512) uint8_t sectors[16 * 512] = {};
};

// VWIN32 exists only for 32-bit programs; the 64-bit test build leaves it out.
#ifndef _WIN64
TEST_F(Win32ChannelTest, OpenTriesVwin32ThenTheVolumeWithTheirOwnFlags) {
    kernel.vwin32Present = false;
    RefPtr<HandheldDevice> device = Device(4);
    ASSERT_TRUE(device->Open());
    ASSERT_EQ(kernel.creates.size(), 2u);
    const CreateCall& vwin32 = kernel.creates[0];
    EXPECT_EQ(vwin32.name, L"\\\\.\\vwin32");
    EXPECT_EQ(vwin32.access, 0u);
    EXPECT_EQ(vwin32.share, 0u);
    EXPECT_EQ(vwin32.disposition, 0u);
    EXPECT_EQ(vwin32.flags, 0x20000080u);
    const CreateCall& volume = kernel.creates[1];
    EXPECT_EQ(volume.name, L"\\\\.\\E:");
    EXPECT_EQ(volume.access, static_cast<DWORD>(GENERIC_READ | GENERIC_WRITE));
    EXPECT_EQ(volume.share, static_cast<DWORD>(FILE_SHARE_READ | FILE_SHARE_WRITE));
    EXPECT_EQ(volume.disposition, static_cast<DWORD>(OPEN_EXISTING));
    EXPECT_EQ(volume.flags, 0x20000080u);
    EXPECT_FALSE(volume.security || volume.templateFile);
    EXPECT_TRUE(device->UsesVolumeIo());

    device->Close();
    device->Close();
    EXPECT_EQ(kernel.closed, (std::vector<HANDLE>{kVolumeHandle}));
}
#endif

TEST_F(Win32ChannelTest, VolumePathSeeksToTheSectorAndMovesWholeSectors) {
    kernel.vwin32Present = false;
    RefPtr<HandheldDevice> device = Device(4);
    ASSERT_TRUE(device->Open());
    EXPECT_EQ(device->ReadSectors(88, 16, sectors), 8192);
    EXPECT_EQ(device->WriteSectors(49, 1, sectors), 512);
    ASSERT_EQ(kernel.seeks.size(), 2u);
    EXPECT_EQ(kernel.seeks[0].distance, 88 * 512);
    EXPECT_EQ(kernel.seeks[1].distance, 49 * 512);
    EXPECT_FALSE(kernel.seeks[0].high);
    EXPECT_EQ(kernel.seeks[0].method, static_cast<DWORD>(FILE_BEGIN));
    EXPECT_EQ(kernel.transfers, (std::vector<DWORD>{8192, 512}));
    // Past 2 GiB the signed distance would wrap.
    EXPECT_EQ(device->ReadSectors(0x400000, 1, sectors), -1);
    EXPECT_EQ(kernel.seeks.size(), 2u);
}

#ifndef _WIN64
TEST_F(Win32ChannelTest, Vwin32DiskCallsCarryTheRegistersAndThePackedPacket) {
    RefPtr<HandheldDevice> device = Device(4);
    ASSERT_TRUE(device->Open());
    EXPECT_FALSE(device->UsesVolumeIo());
    ASSERT_EQ(kernel.creates.size(), 1u);
    EXPECT_EQ(device->ReadSectors(0x11223344, 16, sectors), 8192);
    EXPECT_EQ(device->WriteSectors(49, 1, sectors), 512);

    ASSERT_EQ(kernel.ioctls.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        const IoctlCall& call = kernel.ioctls[i];
        EXPECT_EQ(call.device, kVwin32Handle);
        EXPECT_EQ(call.code, 6u);
        EXPECT_TRUE(call.sameBuffer);
        EXPECT_EQ(call.inSize, 28u);
        EXPECT_EQ(call.outSize, 28u);
        EXPECT_FALSE(call.overlapped);
        EXPECT_EQ(call.in.eax, 0x7305u);
        EXPECT_EQ(call.in.ecx, 0xFFFFFFFFu);
        EXPECT_EQ(call.in.edx, 5u);  // E: is MS-DOS drive 5
        EXPECT_EQ(call.in.esi, i == 0 ? 0u : 1u);
        EXPECT_EQ(call.in.flags, 1u);
    }
    const uint32_t address = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(sectors));
    const std::array<uint8_t, 10> read = {0x44,
                                          0x33,
                                          0x22,
                                          0x11,
                                          0x10,
                                          0x00,
                                          static_cast<uint8_t>(address),
                                          static_cast<uint8_t>(address >> 8),
                                          static_cast<uint8_t>(address >> 16),
                                          static_cast<uint8_t>(address >> 24)};
    EXPECT_EQ(kernel.ioctls[0].packet, read);
    EXPECT_EQ(kernel.ioctls[1].packet[0], 49);
    EXPECT_EQ(kernel.ioctls[1].packet[4], 1);
}

TEST_F(Win32ChannelTest, Vwin32LockAndUnlockNameTheDosDrive) {
    RefPtr<HandheldDevice> device = Device(6);
    ASSERT_TRUE(device->Open());
    EXPECT_TRUE(device->LockVolume());
    EXPECT_TRUE(device->UnlockVolume());
    ASSERT_EQ(kernel.ioctls.size(), 2u);
    const DiocRegisters& lock = kernel.ioctls[0].in;
    EXPECT_EQ(kernel.ioctls[0].code, 1u);
    EXPECT_EQ(lock.eax, 0x440Du);
    EXPECT_EQ(lock.ecx, 0x084Au);
    EXPECT_EQ(lock.ebx, 7u);
    EXPECT_EQ(lock.edx, 0u);
    EXPECT_EQ(lock.flags, 1u);
    EXPECT_EQ(kernel.ioctls[1].in.ecx, 0x086Au);
    EXPECT_EQ(kernel.ioctls[1].in.ebx, 7u);
}

TEST_F(Win32ChannelTest, Vwin32CallFailsOnASetCarryOrARefusedCall) {
    RefPtr<HandheldDevice> device = Device(4);
    ASSERT_TRUE(device->Open());
    kernel.carryAfter = true;
    EXPECT_EQ(device->ReadSectors(0, 1, sectors), -1);
    EXPECT_FALSE(device->LockVolume());
    EXPECT_FALSE(device->Identify());
    kernel.carryAfter = false;
    kernel.ioctlResult = FALSE;
    EXPECT_EQ(device->WriteSectors(49, 1, sectors), -1);
    EXPECT_FALSE(device->UnlockVolume());
    kernel.ioctlResult = TRUE;
    EXPECT_EQ(device->ReadSectors(0, 1, sectors), 512);
}

// The scan reads removable drives and fixed ones on USB, never the drive Windows runs from
// whatever its bus, and opens nothing for writing.
TEST_F(Win32ChannelTest, ScanReadsOnlyRemovableAndUsbDrivesAndNeverTheSystemDrive) {
    struct Drive {
        wchar_t letter;
        UINT type;
        STORAGE_BUS_TYPE bus;
    };
    const Drive drives[] = {
        {L'C', DRIVE_FIXED, BusTypeUsb},  // Windows runs from it
        {L'D', DRIVE_CDROM, BusTypeAtapi},     {L'E', DRIVE_REMOVABLE, BusTypeUsb},
        {L'F', DRIVE_REMOTE, BusTypeUnknown},  {L'G', DRIVE_FIXED, BusTypeAta},
        {L'H', DRIVE_FIXED, BusTypeUsb},       {L'I', DRIVE_REMOVABLE, BusTypeScsi},
        {L'J', DRIVE_NO_ROOT_DIR, BusTypeUsb}, {L'K', DRIVE_REMOVABLE, BusTypeUsb},
    };
    kernel.vwin32Present = false;
    kernel.logicalDrives = 0;
    for (const Drive& drive : drives) {
        kernel.logicalDrives |= 1u << (drive.letter - L'A');
        kernel.driveTypes[drive.letter] = drive.type;
        kernel.busTypes[drive.letter] = drive.bus;
    }
    // Terminal Services may give a user a Windows directory of their own, here on K:.
    kernel.windowsDirectory = L"k:\\windows";
    HandheldFinder finder({&volumes, &sleeper, &progress});
    uint32_t mask = 0;
    EXPECT_EQ(finder.FindHandhelds(&mask), 0);
    std::wstring read;
    for (const CreateCall& call : kernel.creates) {
        EXPECT_EQ(call.access & GENERIC_WRITE, 0u);
        if ((call.access & GENERIC_READ) != 0) read += call.name.substr(4, 1);
    }
    EXPECT_EQ(read, L"EHI");
}

TEST_F(Win32ChannelTest, OneVwin32HandlePerOpen) {
    RefPtr<HandheldDevice> probe = Device(0);
    ASSERT_TRUE(probe->Open());
    probe->Close();
    EXPECT_EQ(kernel.closed, (std::vector<HANDLE>{kVwin32Handle}));
}
#endif

// Another program holding the volume is asked around, the window kept alive meanwhile; any
// other refusal is final at once.
TEST_F(Win32ChannelTest, VolumeLockIsTheVolumesOwnAndAskedForAgainOnlyWhileInUse) {
    struct Case {
        BOOL result;
        DWORD error;
        size_t asked;
    };
    const uint32_t attempts = HandheldDevice::kLockAttempts;
    for (const Case c : {Case{TRUE, 0, 1}, Case{FALSE, ERROR_ACCESS_DENIED, attempts},
                         Case{FALSE, ERROR_NOT_READY, 1}}) {
        SCOPED_TRACE(c.error);
        FakeKernel fresh;
        fresh.vwin32Present = false;
        fresh.ioctlResult = c.result;
        fresh.errorAfter = c.error;
        Win32Volumes windows(fresh);
        CountingSleeper pauses;
        RecordingWindow pumps;
        RefPtr<HandheldDevice> device = new HandheldDevice(4, {&windows, &pauses, &pumps});
        ASSERT_TRUE(device->Open());
        EXPECT_EQ(device->LockVolume(), c.result != FALSE);
        ASSERT_EQ(fresh.ioctls.size(), c.asked);
        const IoctlCall& lock = fresh.ioctls[0];
        EXPECT_EQ(lock.device, kVolumeHandle);
        EXPECT_EQ(lock.code, 0x00090018u);  // FSCTL_LOCK_VOLUME
        EXPECT_EQ(lock.inSize + lock.outSize, 0u);
        EXPECT_EQ(pauses.pauses, std::vector<uint32_t>(c.asked - 1, 100));
        EXPECT_EQ(pumps.pumps, c.asked - 1);
        fresh.ioctls.clear();
        fresh.ioctlResult = TRUE;
        EXPECT_TRUE(device->UnlockVolume());
        EXPECT_EQ(fresh.ioctls.at(0).code, 0x0009001Cu);  // FSCTL_UNLOCK_VOLUME
    }
}

// Whole updates, as Windows Vista and later treat a mounted volume. The program asks for the
// lock 150 times over 14.9 s; an update it cannot lock for says the drive is in use and leaves
// the handheld as it was.
TEST(LockRuleTest, WholeUpdatesNeedTheLockAndWaitForItWhileAnotherProgramHoldsTheVolume) {
    struct Case {
        const char* name;
        bool locksGrantNothing;
        uint32_t refusals;  // of another program's handle; 0: none open
        uint32_t onReturn;  // the same, each time it comes back after an unlock
        UpdateResult result;
        long lockRequests;
    };
    const long attempts = HandheldDevice::kLockAttempts;
    // An update locks twice: once for the run, once for the closing block.
    const Case cases[] = {
        {"a lock that grants nothing, as the volume path's once did", true, 0, 0,
         UpdateResult::ReadError, 1},
        {"nobody else holds the volume", false, 0, 0, UpdateResult::Updated, 2},
        {"another program lets go just in time", false, attempts - 1, 0, UpdateResult::Updated,
         attempts - 1 + 2},
        // 10 s each time: more than the 4.9 s each of three transfers once waited.
        {"Explorer comes back after every unlock", false, 0, 100, UpdateResult::Updated,
         1 + 100 + 1},
        {"another program never lets go", false, FakeKernel::kForever, 0, UpdateResult::DriveInUse,
         attempts},
    };
    const std::vector<uint8_t> data = BuildDataFile(FixtureDataFile());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EmulatedRun run(FixtureHandheld(), false);
        EmulatedSystem& seams = run.System();
        seams.lockRule = true;
        seams.windows.Kernel().locksGrantNothing = c.locksGrantNothing;
        seams.windows.Kernel().HoldVolume(kDriveE, c.refusals, c.onReturn);
        const RunOutcome outcome = run.Run(data.data(), data.size());

        EXPECT_EQ(outcome.result, c.result);
        EXPECT_EQ(outcome.openChannels, 0);
        const bool updated = c.result == UpdateResult::Updated;
        const std::vector<std::string> problems = CheckMemory(run.Memory(), updated, updated);
        EXPECT_TRUE(problems.empty()) << problems.front();
        if (!updated) {
            EXPECT_TRUE(run.Record().commands.empty());
        }
        EXPECT_EQ(run.Record().locks, run.Record().unlockRequests);
        const std::vector<IoctlCall>& asked = seams.windows.Kernel().ioctls;
        EXPECT_EQ(std::count_if(asked.begin(), asked.end(),
                                [](const IoctlCall& call) { return call.code == 0x00090018u; }),
                  c.lockRequests);
    }
}

// A holder that comes back after every unlock and stays, as an Explorer window on the drive
// does: under one lock the run's three transfers all go through; with a lock of their own
// each, the second finds the volume held.
TEST(LockRuleTest, OneLockForTheRunOutlastsAHolderThatComesBackAfterEveryUnlock) {
    alignas(512) static uint8_t block[4096];
    for (const bool forTheRun : {true, false}) {
        SCOPED_TRACE(forTheRun);
        EmulatedSystem seams;
        seams.lockRule = true;
        EmulatedHandheld handheld(FixtureHandheld());
        seams.volumes.Attach(kDriveE, &handheld);
        seams.windows.Kernel().HoldVolume(kDriveE, 0, FakeKernel::kForever);
        RefPtr<HandheldDevice> device = new HandheldDevice(kDriveE, seams.Services());
        // Opened without the run's lock, each transfer locks for itself.
        ASSERT_TRUE(forTheRun ? device->OpenIdentified() == HandheldDevice::RunOpening::Ready
                              : device->Open());
        EXPECT_EQ(device->ReadBlocks(509, 4096, block) && device->ReadBlocks(511, 4096, block) &&
                      device->WriteBlocks(3, 4096, block),
                  forTheRun);
    }
}

}  // namespace
