#include "platform/win32/Win32Volumes.h"

#include "platform/win32/VolumeChannel.h"
#include "platform/win32/Vwin32Channel.h"

uint32_t Win32Volumes::LogicalDrives() {
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
    ChannelHandle handle(
        api, api.CreateFileW(L"\\\\.\\vwin32", 0, 0, nullptr, 0, kUnbufferedNormal, nullptr));
    if (!handle) return nullptr;
    return std::make_unique<Vwin32Channel>(api, std::move(handle));
}

std::unique_ptr<SectorChannel> Win32Volumes::OpenVolume(const wchar_t* volumeName) {
    ChannelHandle handle(api, api.CreateFileW(volumeName, GENERIC_READ | GENERIC_WRITE,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_EXISTING, kUnbufferedNormal, nullptr));
    if (!handle) return nullptr;
    return std::make_unique<VolumeChannel>(api, std::move(handle));
}
