#include "platform/win32/VolumeChannel.h"

#include <winioctl.h>

namespace {

// The file pointer takes a signed 32-bit distance and no high part.
constexpr uint32_t kLastReachableSector = 0x7FFFFFFF / kSectorSize;

}  // namespace

// A sector past 2 GiB would wrap the distance to a negative one and land elsewhere.
bool VolumeChannel::Seek(uint32_t sector) {
    if (sector > kLastReachableSector) return false;
    const LONG distance = static_cast<LONG>(sector) * static_cast<LONG>(kSectorSize);
    api.SetFilePointer(handle.Get(), distance, nullptr, FILE_BEGIN);
    return true;
}

int32_t VolumeChannel::ReadSectors(int32_t, uint32_t sector, uint32_t count, uint8_t* buffer) {
    if (!Seek(sector)) return -1;
    DWORD done = 0;
    if (!api.ReadFile(handle.Get(), buffer, count * kSectorSize, &done, nullptr)) return -1;
    return static_cast<int32_t>(done);
}

int32_t VolumeChannel::WriteSectors(int32_t, uint32_t sector, uint32_t count,
                                    const uint8_t* buffer) {
    if (!Seek(sector)) return -1;
    DWORD done = 0;
    if (!api.WriteFile(handle.Get(), buffer, count * kSectorSize, &done, nullptr)) return -1;
    return static_cast<int32_t>(done);
}

bool VolumeChannel::Control(DWORD code) {
    DWORD returned = 0;
    return api.DeviceIoControl(handle.Get(), code, nullptr, 0, nullptr, 0, &returned, nullptr) != 0;
}

VolumeLock VolumeChannel::LockVolume(int32_t) {
    if (Control(FSCTL_LOCK_VOLUME)) return VolumeLock::Locked;
    return api.GetLastError() == ERROR_ACCESS_DENIED ? VolumeLock::InUse : VolumeLock::Refused;
}

bool VolumeChannel::UnlockVolume(int32_t) {
    return Control(FSCTL_UNLOCK_VOLUME);
}
