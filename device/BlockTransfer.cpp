// How HandheldDevice moves 4096-byte memory blocks through the handheld's mailbox.
#include <algorithm>
#include <cstring>

#include "app/ByteOrder.h"
#include "device/HandheldDevice.h"
#include "device/Mailbox.h"
#include "device/TransferProgress.h"

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

bool HandheldDevice::ReadBlocks(uint32_t firstBlock, uint32_t byteCount, uint8_t* destination) {
    if (!LockVolume()) return false;
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
            if (result && payload % kMemoryBlockSize != 0 && done + payload != byteCount) {
                result = false;
            }
            if (result) {
                block += payload / kMemoryBlockSize;
                done += payload;
            }
            seams.progress->PumpMessages();
        } else {
            result = false;
        }
        SendCommand(transfer, kEndCommand, 0, 0);
        if (!result) break;
    }
    UnlockVolume();
    return result;
}

bool HandheldDevice::WriteBlocks(uint32_t firstBlock, uint32_t byteCount, const uint8_t* source) {
    if (!LockVolume()) return false;
    alignas(kSectorSize) uint8_t transfer[kWindowBytes] = {};
    if (!SendCommand(transfer, kBeginCommand, 0, 0)) {
        UnlockVolume();
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
        seams.progress->StepProgress((part + kMemoryBlockSize - 1) / kMemoryBlockSize);
        seams.progress->PumpMessages();
        if (!written) {
            result = false;
            break;
        }
    }
    SendCommand(transfer, kEndCommand, 0, 0);
    UnlockVolume();
    return result;
}
