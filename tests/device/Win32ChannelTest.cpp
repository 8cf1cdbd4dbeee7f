// The Windows sector paths byte for byte, against a stand-in for the kernel calls.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "DeviceTestSeams.h"
#include "app/RefPtr.h"
#include "device/HandheldDevice.h"
#include "platform/win32/VolumeChannel.h"
#include "platform/win32/Vwin32Channel.h"
#include "platform/win32/Win32Volumes.h"

namespace {

// Any two distinct handles serve; their values never reach the kernel.
int g_vwin32Object = 0;
int g_volumeObject = 0;
HANDLE const kVwin32Handle = &g_vwin32Object;
HANDLE const kVolumeHandle = &g_volumeObject;

struct CreateCall {
    std::wstring name;
    DWORD access, share, disposition, flags;
    bool security, templateFile;
};

struct IoctlCall {
    HANDLE device;
    DWORD code;
    bool sameBuffer;
    DWORD inSize, outSize;
    bool overlapped;
    DiocRegisters in;
    std::array<uint8_t, 10> packet;  // what EBX pointed at, for disk calls
};

// Records every call; VWIN32 answers with the carry flag the test chose.
class FakeKernel final : public Win32Api {
public:
    HANDLE CreateFileW(const wchar_t* name, DWORD access, DWORD share,
                       SECURITY_ATTRIBUTES* security, DWORD disposition, DWORD flags,
                       HANDLE templateFile) override {
        creates.push_back({name, access, share, disposition, flags, security != nullptr,
                           templateFile != nullptr});
        if (std::wstring(name) == L"\\\\.\\vwin32") {
            return vwin32Present ? kVwin32Handle : INVALID_HANDLE_VALUE;
        }
        return volumePresent ? kVolumeHandle : INVALID_HANDLE_VALUE;
    }
    BOOL DeviceIoControl(HANDLE device, DWORD code, void* in, DWORD inSize, void* out,
                         DWORD outSize, DWORD* returned, OVERLAPPED* overlapped) override {
        IoctlCall call{device, code, in == out, inSize, outSize, overlapped != nullptr, {}, {}};
        std::memcpy(&call.in, in, sizeof call.in);
        if (code == kVwin32DosDriveInfo) {
            // The program passes the packet's address in EBX, as VWIN32 takes it.
            std::memcpy(
                call.packet.data(),
                reinterpret_cast<const void*>(call.in.ebx),  // NOLINT(performance-no-int-to-ptr)
                10);
        }
        ioctls.push_back(call);
        auto* registers = static_cast<DiocRegisters*>(out);
        registers->flags =
            carryAfter ? (registers->flags | kCarryFlag) : (registers->flags & ~kCarryFlag);
        *returned = sizeof(DiocRegisters);
        return ioctlResult;
    }
    DWORD SetFilePointer(HANDLE, LONG distance, LONG* high, DWORD method) override {
        seeks.push_back({distance, high != nullptr, method});
        return static_cast<DWORD>(distance);
    }
    BOOL ReadFile(HANDLE, void* buffer, DWORD size, DWORD* done, OVERLAPPED*) override {
        std::memset(buffer, 0xAB, size);
        *done = size;
        transfers.push_back(size);
        return TRUE;
    }
    BOOL WriteFile(HANDLE, const void*, DWORD size, DWORD* done, OVERLAPPED*) override {
        *done = size;
        transfers.push_back(size);
        return TRUE;
    }
    BOOL CloseHandle(HANDLE handle) override {
        closed.push_back(handle);
        return TRUE;
    }
    DWORD GetLogicalDrives() override { return 0x14; }
    void Sleep(DWORD) override {}

    struct Seek {
        LONG distance;
        bool high;
        DWORD method;
    };
    bool vwin32Present = true;
    bool volumePresent = true;
    BOOL ioctlResult = TRUE;
    bool carryAfter = false;
    std::vector<CreateCall> creates;
    std::vector<IoctlCall> ioctls;
    std::vector<Seek> seeks;
    std::vector<DWORD> transfers;
    std::vector<HANDLE> closed;
};

class Win32ChannelTest : public ::testing::Test {
protected:
    RefPtr<HandheldDevice> Device(int32_t drive) {
        return new HandheldDevice(drive, {&volumes, &sleeper, &progress});
    }

    FakeKernel kernel;
    Win32Volumes volumes{kernel};
    CountingSleeper sleeper;
    RecordingProgress progress;
    alignas(512) uint8_t sectors[16 * 512] = {};
};

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
    EXPECT_TRUE(device->LockVolume());
    EXPECT_TRUE(kernel.ioctls.empty());
    // Past 2 GiB the signed distance would wrap.
    EXPECT_EQ(device->ReadSectors(0x400000, 1, sectors), -1);
    EXPECT_EQ(kernel.seeks.size(), 2u);
}

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

TEST_F(Win32ChannelTest, ScanUsesTheSystemsDriveSetAndOneVwin32HandlePerOpen) {
    RefPtr<HandheldDevice> probe = Device(0);
    Win32Volumes system(kernel);
    EXPECT_EQ(system.LogicalDrives(), 0x14u);
    ASSERT_TRUE(probe->Open());
    probe->Close();
    EXPECT_EQ(kernel.closed, (std::vector<HANDLE>{kVwin32Handle}));
}

}  // namespace
