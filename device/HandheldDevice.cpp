// The handheld behind one drive: its channel, sectors, identification and block transfers.
#include "device/HandheldDevice.h"

#include <algorithm>
#include <cstring>

#include "device/ByteOrder.h"
#include "device/Mailbox.h"
#include "device/MemoryBlocks.h"
#include "device/ProgressSink.h"
#include "device/Sleeper.h"
#include "device/VolumeAccess.h"

namespace {

// Keeps the wSectors field of the VWIN32 packet and the byte count within their widths.
constexpr uint32_t kMostSectorsPerTransfer = 0xFFFF;

}  // namespace

HandheldDevice::HandheldDevice(int32_t driveIndex, const DeviceServices& services)
    : driveIndex(driveIndex), services(services) {}

// Closes as Close does; a subclass's Close is gone by now.
HandheldDevice::~HandheldDevice() {
    ReleaseChannel();
}

void HandheldDevice::Close() {
    ReleaseChannel();
}

// The run's lock is given back before the handle goes, so that the drive hears of it.
void HandheldDevice::ReleaseChannel() {
    if (holdsRunLock && handle) handle->UnlockVolume(driveIndex);
    holdsRunLock = false;
    handle.reset();
}

int32_t HandheldDevice::GetDriveIndex() {
    return driveIndex;
}

bool HandheldDevice::Open() {
    return OpenChannel(true);
}

// Opening a volume for writing is what security software watches and what a limited account
// may not do; a drive that is only being looked at needs neither.
bool HandheldDevice::OpenToRead() {
    return OpenChannel(false);
}

bool HandheldDevice::OpenChannel(bool forWriting) {
    Close();  // never two channels for one object
    openDenied = false;
    useVolumeIo = 0;
    handle = services.volumes->OpenVwin32();
    if (handle) return true;

    useVolumeIo = 1;
    // A drive index out of A: to Z: must never reach some other volume.
    if (driveIndex < 0 || driveIndex >= kDriveLetters) return false;
    handle = forWriting ? services.volumes->OpenVolume(driveIndex)
                        : services.volumes->OpenVolumeToRead(driveIndex);
    openDenied = !handle && services.volumes->LastOpenDenied();
    return handle != nullptr;
}

// The drive letter is only a name: between the scan and this open the user may have pulled
// the handheld and plugged in another drive, which must not receive a single sector.
// On the volume path the lock is taken once here and held until Close: every unlock tells
// Explorer, the indexer and virus scanners that they may open the drive again, and a lock
// taken for each transfer would have to wait for them every time. The VWIN32 path keeps its
// lock around each transfer.
HandheldDevice::RunOpening HandheldDevice::OpenIdentified() {
    if (!Open()) return openDenied ? RunOpening::NoRights : RunOpening::Unreadable;
    if (!Identify()) {
        Close();
        return RunOpening::Unreadable;
    }
    if (useVolumeIo == 0) return RunOpening::Ready;
    const VolumeLock lock = AskForLock();
    if (lock != VolumeLock::Locked) {
        Close();
        return lock == VolumeLock::InUse ? RunOpening::VolumeInUse : RunOpening::Unreadable;
    }
    holdsRunLock = true;
    return RunOpening::Ready;
}

// The zero byte is part of the text: a label padded with a space is another volume.
bool CarriesIdentification(const uint8_t* sector, size_t size) {
    return size >= kIdentificationOffset + kIdentificationBytes &&
           std::memcmp(sector + kIdentificationOffset, kIdentificationText, kIdentificationBytes) ==
               0;
}

bool HandheldDevice::Identify() {
    if (!handle) return false;
    alignas(kSectorSize) uint8_t bootSector[kSectorSize] = {};
    if (ReadSectors(0, 1, bootSector) <= 0) return false;
    return CarriesIdentification(bootSector, sizeof bootSector);
}

void HandheldDevice::WriteClosingBlock() {
    if (OpenIdentified() != RunOpening::Ready) return;
    const uint8_t zeros[kBlockSize] = {};
    WriteBlocks(kClosingBlock, kBlockSize, zeros);
    Close();
}

// Unbuffered volumes take whole sectors through sector-aligned buffers only; Wine lets
// anything through, so the rule is kept here where a test sees it.
bool HandheldDevice::SectorsAcceptable(uint32_t count, const uint8_t* buffer) const {
    return count != 0 && count <= kMostSectorsPerTransfer && buffer != nullptr &&
           reinterpret_cast<uintptr_t>(buffer) % kSectorSize == 0;
}

// The handheld needs a moment whenever the host changes between reading and writing.
void HandheldDevice::Turnaround(Direction direction) {
    if (lastDirection != direction) services.sleeper->Sleep(kTurnaroundMilliseconds);
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
    return AskForLock() == VolumeLock::Locked;
}

VolumeLock HandheldDevice::AskForLock() {
    if (!handle) return VolumeLock::Refused;
    for (uint32_t attempt = 1;; ++attempt) {
        const VolumeLock answer = handle->LockVolume(driveIndex);
        if (answer != VolumeLock::InUse || attempt == kLockAttempts) return answer;
        services.progress->PumpMessages();
        services.sleeper->Sleep(kLockRetryMilliseconds);
    }
}

bool HandheldDevice::UnlockVolume() {
    if (!handle) return false;
    return handle->UnlockVolume(driveIndex);
}

// Clears only the command bytes: the rest of the sector goes out with whatever the
// transfer buffer held, as the handheld expects nothing there.
bool HandheldDevice::SendCommand(uint8_t* transfer, uint8_t code, uint32_t block,
                                 uint32_t byteCount) {
    std::memset(transfer, 0, kCommandBytes);
    transfer[0] = code;
    StoreBe32(transfer + kCommandBlockOffset, block);
    StoreBe32(transfer + kCommandCountOffset, byteCount);
    return WriteSectors(kCommandSector, 1, transfer) > 0;
}

// Reads one answer to a read command into cursor. The handheld's length is not trusted:
// one below its own four bytes, a payload larger than the room left, or an empty payload
// that would never finish the request all fail.
bool HandheldDevice::TakeAnswer(uint8_t* transfer, uint32_t room, uint8_t* cursor,
                                uint32_t* payload) {
    if (ReadSectors(kReadWindowSector, kWindowSectors, transfer) <= 0) return false;
    const uint32_t length = LoadBe32(transfer);
    if (length < kAnswerLengthBytes) return false;
    const uint32_t total = length - kAnswerLengthBytes;
    if (total == 0 || total > room) return false;

    uint32_t taken = std::min(total, kFirstWindowPayload);
    std::memcpy(cursor, transfer + kAnswerLengthBytes, taken);
    while (taken < total) {
        if (ReadSectors(kReadWindowSector, kWindowSectors, transfer) <= 0) return false;
        const uint32_t part = std::min(total - taken, kWindowBytes);
        std::memcpy(cursor + taken, transfer, part);
        taken += part;
    }
    *payload = total;
    return true;
}

// Under the run's lock a transfer takes none of its own.
bool HandheldDevice::ReadBlocks(uint32_t firstBlock, uint32_t byteCount, uint8_t* destination) {
    const bool ownLock = !holdsRunLock;
    if (ownLock && !LockVolume()) return false;
    alignas(kSectorSize) uint8_t transfer[kWindowBytes] = {};
    uint32_t block = firstBlock;
    uint32_t done = 0;
    bool result = true;
    while (done < byteCount) {
        // Without a BeginCommand there is no transaction to end.
        if (!SendCommand(transfer, kBeginCommand, 0, 0)) {
            result = false;
            break;
        }
        if (SendCommand(transfer, kReadCommand, block, 0)) {
            uint32_t payload = 0;
            result = TakeAnswer(transfer, byteCount - done, destination + done, &payload);
            // The next command names a whole block, so an answer that ends mid-block
            // and leaves bytes missing would put the next answer in the wrong place.
            if (result && payload % kBlockSize != 0 && done + payload != byteCount) {
                result = false;
            }
            if (result) {
                block += payload / kBlockSize;
                done += payload;
            }
            services.progress->PumpMessages();
        } else {
            result = false;
        }
        SendCommand(transfer, kEndCommand, 0, 0);
        if (!result) break;
    }
    if (ownLock) UnlockVolume();
    return result;
}

bool HandheldDevice::WriteBlocks(uint32_t firstBlock, uint32_t byteCount, const uint8_t* source) {
    const bool ownLock = !holdsRunLock;
    if (ownLock && !LockVolume()) return false;
    alignas(kSectorSize) uint8_t transfer[kWindowBytes] = {};
    if (!SendCommand(transfer, kBeginCommand, 0, 0)) {
        if (ownLock) UnlockVolume();
        return false;
    }
    bool result = SendCommand(transfer, kWriteCommand, firstBlock, byteCount);
    uint32_t remaining = result ? byteCount : 0;
    const uint8_t* cursor = source;
    while (remaining != 0) {
        // A short last window keeps the earlier bytes behind its payload; the handheld
        // takes only the byte count it was told.
        const uint32_t part = std::min(remaining, kWindowBytes);
        std::memcpy(transfer, cursor, part);
        const bool written = WriteSectors(kWriteWindowSector, kWindowSectors, transfer) > 0;
        if (written) {
            cursor += part;
            remaining -= part;
        }
        services.progress->StepProgress((part + kBlockSize - 1) / kBlockSize);
        services.progress->PumpMessages();
        if (!written) {
            result = false;
            break;
        }
    }
    SendCommand(transfer, kEndCommand, 0, 0);
    if (ownLock) UnlockVolume();
    return result;
}
