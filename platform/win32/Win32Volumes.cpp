#include "platform/win32/Win32Volumes.h"

#include <winioctl.h>

#include <cstddef>

#include "platform/win32/VolumeChannel.h"
#ifndef _WIN64
#include "platform/win32/Vwin32Channel.h"
#endif

namespace {

constexpr UINT kDirectoryCapacity = MAX_PATH + 1;

wchar_t LetterOf(int32_t index) {
    return static_cast<wchar_t>(L'A' + index);
}

// The drive letter a path of GetSystemDirectoryW or GetWindowsDirectoryW starts with; 0 for a
// path without one.
wchar_t DriveOfDirectory(UINT length, const wchar_t* path) {
    if (length < 2 || length >= kDirectoryCapacity || path[1] != L':') return 0;
    const auto letter = static_cast<wchar_t>(path[0] & ~0x20);
    return letter >= L'A' && letter <= L'Z' ? letter : 0;
}

}  // namespace

uint32_t Win32Volumes::PresentVolumes() {
    return api.GetLogicalDrives();
}

// A disc drive spins up or waits for a disc and a share is another computer's; a fixed disk
// inside the computer holds someone's files, and opening the system volume is what security
// software watches. None of them is ever a handheld.
bool Win32Volumes::WorthProbing(int32_t index) {
    if (index < 0 || index >= kDriveLetters) return false;
    wchar_t directory[kDirectoryCapacity] = {};
    const wchar_t letter = LetterOf(index);
    if (DriveOfDirectory(api.GetSystemDirectoryW(directory, kDirectoryCapacity), directory) ==
        letter) {
        return false;
    }
    if (DriveOfDirectory(api.GetWindowsDirectoryW(directory, kDirectoryCapacity), directory) ==
        letter) {
        return false;
    }
    const wchar_t root[] = {letter, L':', L'\\', L'\0'};
    const UINT type = api.GetDriveTypeW(root);
    if (type == DRIVE_REMOVABLE) return true;
    return type == DRIVE_FIXED && OnUsbBus(index);
}

// Asked through a handle without read or write access, which neither mounts the volume nor
// needs administrator rights. The answer's length is checked before its bus type is read.
bool Win32Volumes::OnUsbBus(int32_t index) {
    wchar_t volumeName[] = L"\\\\.\\?:";
    volumeName[4] = LetterOf(index);
    const ChannelHandle handle(
        api, api.CreateFileW(volumeName, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr));
    if (!handle) return false;
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    STORAGE_DEVICE_DESCRIPTOR descriptor{};
    DWORD returned = 0;
    if (!api.DeviceIoControl(handle.Get(), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query,
                             &descriptor, sizeof descriptor, &returned, nullptr)) {
        return false;
    }
    constexpr size_t kThroughBusType =
        offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType) + sizeof descriptor.BusType;
    return returned >= kThroughBusType && descriptor.BusType == BusTypeUsb;
}

std::unique_ptr<SectorChannel> Win32Volumes::OpenVwin32() {
#ifdef _WIN64
    // A 64-bit program never runs on the Windows 95 family.
    return nullptr;
#else
    ChannelHandle handle(
        api, api.CreateFileW(L"\\\\.\\vwin32", 0, 0, nullptr, 0, kUnbufferedNormal, nullptr));
    if (!handle) return nullptr;
    return std::make_unique<Vwin32Channel>(api, std::move(handle));
#endif
}

std::unique_ptr<SectorChannel> Win32Volumes::OpenVolume(int32_t index) {
    return OpenNamed(index, GENERIC_READ | GENERIC_WRITE);
}

std::unique_ptr<SectorChannel> Win32Volumes::OpenVolumeToRead(int32_t index) {
    return OpenNamed(index, GENERIC_READ);
}

std::unique_ptr<SectorChannel> Win32Volumes::OpenNamed(int32_t index, DWORD access) {
    lastOpenDenied = false;
    if (index < 0 || index >= kDriveLetters) return nullptr;
    wchar_t volumeName[] = L"\\\\.\\?:";
    volumeName[4] = LetterOf(index);
    ChannelHandle handle(
        api, api.CreateFileW(volumeName, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, kUnbufferedNormal, nullptr));
    if (!handle) {
        lastOpenDenied = api.GetLastError() == ERROR_ACCESS_DENIED;
        return nullptr;
    }
    return std::make_unique<VolumeChannel>(api, std::move(handle));
}
