// How HandheldDevice opens its channel and moves whole sectors through it.
#include <cstdint>

#include "device/HandheldDevice.h"
#include "device/Sleeper.h"
#include "device/TransferProgress.h"
#include "device/VolumeAccess.h"

namespace {

constexpr int32_t kDriveLetters = 26;
// Keeps the wSectors field of the VWIN32 packet and the byte count within their widths.
constexpr uint32_t kMostSectorsPerTransfer = 0xFFFF;

}  // namespace

bool HandheldDevice::Open() {
    Close();  // never two channels for one object
    useVolumeIo = 0;
    handle = seams.volumes->OpenVwin32();
    if (handle) return true;

    useVolumeIo = 1;
    // A drive index out of A: to Z: must never name some other volume.
    if (driveIndex < 0 || driveIndex >= kDriveLetters) return false;
    wchar_t name[kVolumeNameCapacity] = L"\\\\.\\?:";
    name[4] = static_cast<wchar_t>(L'A' + driveIndex);
    handle = seams.volumes->OpenVolume(name);
    return handle != nullptr;
}

// Unbuffered volumes take whole sectors through sector-aligned buffers only; Wine lets
// anything through, so the rule is kept here where a test sees it.
bool HandheldDevice::SectorsAcceptable(uint32_t count, const uint8_t* buffer) const {
    return count != 0 && count <= kMostSectorsPerTransfer && buffer != nullptr &&
           reinterpret_cast<uintptr_t>(buffer) % kSectorSize == 0;
}

// The handheld needs a moment whenever the host changes between reading and writing.
void HandheldDevice::Turnaround(Direction direction) {
    if (lastDirection != direction) seams.sleeper->Sleep(kTurnaroundMilliseconds);
    lastDirection = direction;
}

int32_t HandheldDevice::ReadSectors(uint32_t sector, uint32_t count, uint8_t* buffer) {
    if (!handle || !SectorsAcceptable(count, buffer)) return -1;
    Turnaround(Reading);
    const int32_t moved = handle->ReadSectors(driveIndex, sector, count, buffer);
    // A short read would pass stale buffer bytes off as the handheld's.
    return moved == static_cast<int32_t>(count * kSectorSize) ? moved : -1;
}

int32_t HandheldDevice::WriteSectors(uint32_t sector, uint32_t count, const uint8_t* buffer) {
    if (!handle || !SectorsAcceptable(count, buffer)) return -1;
    Turnaround(Writing);
    const int32_t moved = handle->WriteSectors(driveIndex, sector, count, buffer);
    return moved == static_cast<int32_t>(count * kSectorSize) ? moved : -1;
}

// Windows refuses mailbox writes to a mounted volume that is not locked, so going on without
// the lock would only fail later, or write where another program is reading. Dismounting
// instead would pull the file system away from under that program. So a lock that cannot be
// had in time ends the transfer before it sends anything; the window stays responsive while
// it waits.
bool HandheldDevice::LockVolume() {
    if (!handle) return false;
    for (uint32_t attempt = 1;; ++attempt) {
        const VolumeLock answer = handle->LockVolume(driveIndex);
        if (answer != VolumeLock::InUse || attempt == kLockAttempts) {
            return answer == VolumeLock::Locked;
        }
        seams.progress->PumpMessages();
        seams.sleeper->Sleep(kLockRetryMilliseconds);
    }
}

bool HandheldDevice::UnlockVolume() {
    if (!handle) return false;
    return handle->UnlockVolume(driveIndex);
}
