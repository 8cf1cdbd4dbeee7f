#include "platform/win32/Win32Volumes.h"

#include "platform/win32/VolumeChannel.h"
#ifndef _WIN64
#include "platform/win32/Vwin32Channel.h"
#endif

namespace {

constexpr int32_t kDriveLetters = 26;

}  // namespace

uint32_t Win32Volumes::PresentVolumes() {
    uint32_t drives = api.GetLogicalDrives();
    wchar_t root[] = L"?:\\";
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        const uint32_t bit = uint32_t{1} << (letter - L'A');
        if ((drives & bit) == 0) continue;
        root[0] = letter;
        const UINT type = api.GetDriveTypeW(root);
        if (type == DRIVE_CDROM || type == DRIVE_REMOTE) drives &= ~bit;
    }
    return drives;
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
    if (index < 0 || index >= kDriveLetters) return nullptr;
    wchar_t volumeName[] = L"\\\\.\\?:";
    volumeName[4] = static_cast<wchar_t>(L'A' + index);
    ChannelHandle handle(api, api.CreateFileW(volumeName, GENERIC_READ | GENERIC_WRITE,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_EXISTING, kUnbufferedNormal, nullptr));
    if (!handle) return nullptr;
    return std::make_unique<VolumeChannel>(api, std::move(handle));
}
