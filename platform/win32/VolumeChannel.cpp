#include "platform/win32/VolumeChannel.h"

namespace {

// The file pointer takes a signed 32-bit distance and no high part.
constexpr uint32_t kLastReachableSector = 0x7FFFFFFF / kSectorSize;

}  // namespace

// A sector past 2 GiB would wrap the distance to a negative one and land elsewhere.
bool VolumeChannel::Seek(uint32_t sector) {
    if (sector > kLastReachableSector) return false;
    api.SetFilePointer(handle.Get(), static_cast<LONG>(sector * kSectorSize), nullptr, FILE_BEGIN);
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
