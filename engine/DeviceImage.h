// The 2 MiB mirror of the handheld's memory: 512 blocks of 4096 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "device/MemoryBlocks.h"
#include "engine/SystemRecord.h"

class HandheldDevice;
class RunWindow;

constexpr uint32_t kImageBlocks = kClosingBlock;  // everything below the closing block
constexpr size_t kImageSize = size_t{kImageBlocks} * kBlockSize;
constexpr uint32_t kSystemBlockLow = 509;
constexpr uint32_t kSystemBlockHigh = 511;
constexpr uint32_t kFirstWriteBackBlock = 3;
constexpr uint32_t kWriteBackBlocks = 509;

constexpr uint32_t BlocksFor(uint32_t byteCount) {
    return byteCount / kBlockSize + (byteCount % kBlockSize != 0 ? 1 : 0);
}

class DeviceImage {
public:
    uint8_t* Bytes() { return bytes; }
    uint8_t* Block(uint32_t block) { return bytes + size_t{block} * kBlockSize; }
    SystemRecord Record(uint32_t systemBlock) {
        return SystemRecord(Block(systemBlock) + kSystemRecordOffset);
    }

    // Whether a resource of this length at this block ends inside the image.
    static bool Fits(uint32_t destinationBlock, uint32_t length) {
        return uint64_t{destinationBlock} + BlocksFor(length) <= kImageBlocks;
    }

    // Reads whole blocks from the handheld into the same block indices.
    bool ReadImageBlocks(HandheldDevice& device, RunWindow& window, uint32_t firstBlock,
                         uint32_t byteCount);
    // Copies a resource and zero-fills the rest of its last block; false, and the image
    // unchanged, when it would pass the last block.
    bool PlaceResource(uint32_t destinationBlock, uint32_t length, const uint8_t* source);
    // Sends blocks 3 to 511 in one transfer.
    bool WriteBack(HandheldDevice& device, RunWindow& window);

private:
    alignas(512) uint8_t bytes[kImageSize] = {};
};

// The process's image: all zeros at start, never cleared afterwards.
extern DeviceImage g_deviceImage;
