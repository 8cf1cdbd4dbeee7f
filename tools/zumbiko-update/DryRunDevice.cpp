#include "DryRunDevice.h"

#include "engine/DeviceImage.h"

// The update stamps its own copy of the block, so the version it found is kept here.
bool DryRunDevice::ReadBlocks(uint32_t firstBlock, uint32_t byteCount, uint8_t* destination) {
    if (!HandheldDevice::ReadBlocks(firstBlock, byteCount, destination)) return false;
    const uint64_t end = uint64_t{firstBlock} * kBlockSize + byteCount;
    if (firstBlock <= kSystemBlockHigh && end >= uint64_t{kSystemBlockHigh + 1} * kBlockSize) {
        const uint8_t* block = destination + size_t{kSystemBlockHigh - firstBlock} * kBlockSize;
        upperSystemBlock.assign(block, block + kBlockSize);
    }
    return true;
}
