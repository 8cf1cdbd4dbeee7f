// The kernel calls behind the Windows sector paths. On its own it records every call and
// answers as the test sets it. Given emulated handhelds it opens their volumes by name and
// moves their sectors as Windows Vista and later do: a write into a mounted volume's file
// system goes through only on the handle that holds the volume lock, and the lock is refused
// while any other handle to that volume is open.
#pragma once

#include <windows.h>
#include <winioctl.h>

#include <array>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "device/SectorChannel.h"
#include "platform/win32/Vwin32Channel.h"
#include "platform/win32/Win32Api.h"

class EmulatorVolumes;

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
    DiocRegisters in;                // VWIN32 calls only
    std::array<uint8_t, 10> packet;  // what EBX pointed at, for disk calls
};

class FakeKernel final : public Win32Api {
public:
    FakeKernel() = default;
    explicit FakeKernel(EmulatorVolumes& handhelds) : handhelds(&handhelds) {}
    ~FakeKernel();
    FakeKernel(const FakeKernel&) = delete;
    FakeKernel& operator=(const FakeKernel&) = delete;

    HANDLE CreateFileW(const wchar_t* name, DWORD access, DWORD share,
                       SECURITY_ATTRIBUTES* security, DWORD disposition, DWORD flags,
                       HANDLE templateFile) override;
    BOOL DeviceIoControl(HANDLE device, DWORD code, void* in, DWORD inSize, void* out,
                         DWORD outSize, DWORD* returned, OVERLAPPED* overlapped) override;
    DWORD SetFilePointer(HANDLE file, LONG distance, LONG* high, DWORD method) override;
    BOOL ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* done, OVERLAPPED*) override;
    BOOL WriteFile(HANDLE file, const void* buffer, DWORD size, DWORD* done, OVERLAPPED*) override;
    BOOL CloseHandle(HANDLE handle) override;
    DWORD GetLastError() override { return lastError; }
    DWORD GetLogicalDrives() override;
    UINT GetDriveTypeW(const wchar_t* rootPath) override;
    UINT GetSystemDirectoryW(wchar_t* buffer, UINT size) override {
        return CopyOut(systemDirectory, buffer, size);
    }
    UINT GetWindowsDirectoryW(wchar_t* buffer, UINT size) override {
        return CopyOut(windowsDirectory, buffer, size);
    }
    void Sleep(DWORD) override {}

    // Without handhelds, the two handles it hands out; they never reach a real kernel.
    static const HANDLE kVwin32Handle;
    static const HANDLE kVolumeHandle;

    // Another program opens the drive's volume and keeps it open through this many refused
    // locks; kForever never lets go. Told of every unlock, as Explorer is, it opens the volume
    // again and keeps it through refusalsOnReturn refused locks (0: it stays away).
    static constexpr uint32_t kForever = 0xFFFFFFFF;
    void HoldVolume(int32_t drive, uint32_t refusals, uint32_t refusalsOnReturn = 0);

    struct Seek {
        LONG distance;
        bool high;
        DWORD method;
    };
    // Without handhelds: the answers.
    bool vwin32Present = true;
    bool volumePresent = true;
    BOOL ioctlResult = TRUE;
    bool carryAfter = false;
    DWORD errorAfter = 0;  // what GetLastError says after an ioctl to the volume
    DWORD logicalDrives = 0x14;
    // Without handhelds fixed disks where not named, as Wine reports its drives; with them
    // removable, as a USB handheld is.
    std::map<wchar_t, UINT> driveTypes;
    // What a storage query on a drive's volume answers; unknown where not named.
    std::map<wchar_t, STORAGE_BUS_TYPE> busTypes;
    std::wstring systemDirectory = L"C:\\WINDOWS\\system32";
    std::wstring windowsDirectory = L"C:\\WINDOWS";
    // With handhelds: every lock and unlock succeeds and grants nothing, as Wine's do.
    bool locksGrantNothing = false;

    std::vector<CreateCall> creates;
    std::vector<IoctlCall> ioctls;
    std::vector<Seek> seeks;
    std::vector<DWORD> transfers;
    std::vector<HANDLE> closed;

private:
    struct Opened {
        std::unique_ptr<SectorChannel> channel;
        int32_t drive;
        uint32_t position = 0;
        bool locked = false;
    };

    Opened* Find(HANDLE handle);
    bool Fail(DWORD error);
    BOOL VolumeControl(Opened& volume, DWORD code);
    bool OtherHandleOpen(const Opened& volume) const;
    static UINT CopyOut(const std::wstring& path, wchar_t* buffer, UINT size);

    EmulatorVolumes* handhelds = nullptr;
    std::list<Opened> opened;
    DWORD lastError = 0;
    int32_t heldDrive = -1;
    uint32_t refusalsLeft = 0;
    int32_t holderDrive = -1;
    uint32_t refusalsOnReturn = 0;
};
