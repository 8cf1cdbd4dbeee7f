#include "engine/DeviceImage.h"

#include <cstring>

#include "device/HandheldDevice.h"
#include "engine/RunWindow.h"

DeviceImage g_deviceImage;

bool DeviceImage::ReadImageBlocks(HandheldDevice& device, RunWindow& window, uint32_t firstBlock,
                                  uint32_t byteCount) {
    BusyScope busy(window);
    const uint64_t blocks = BlocksFor(byteCount);
    if (firstBlock + blocks > kImageBlocks) return false;
    return device.ReadBlocks(firstBlock, static_cast<uint32_t>(blocks * kBlockSize),
                             Block(firstBlock));
}

bool DeviceImage::PlaceResource(uint32_t destinationBlock, uint32_t length, const uint8_t* source) {
    if (!Fits(destinationBlock, length)) return false;
    const uint64_t blocks = BlocksFor(length);
    uint8_t* destination = Block(destinationBlock);
    if (length != 0) std::memcpy(destination, source, length);
    std::memset(destination + length, 0, blocks * kBlockSize - length);
    return true;
}

bool DeviceImage::WriteBack(HandheldDevice& device, RunWindow& window) {
    BusyScope busy(window);
    window.SetProgressRange(0, kWriteBackBlocks);
    window.SetProgressPos(0);
    return device.WriteBlocks(kFirstWriteBackBlock, kWriteBackBlocks * kBlockSize,
                              Block(kFirstWriteBackBlock));
}
