// A handheld that is read but never written: an update against it shows what would happen.
#pragma once

#include <cstdint>
#include <vector>

#include "device/HandheldDevice.h"

class DryRunDevice final : public HandheldDevice {
public:
    using HandheldDevice::HandheldDevice;

    // Reads as the handheld does, keeping a copy of the upper system block.
    bool ReadBlocks(uint32_t firstBlock, uint32_t byteCount, uint8_t* destination) override;
    // Nothing reaches the handheld, not even the closing block.
    bool WriteBlocks(uint32_t, uint32_t, const uint8_t*) override { return true; }
    void WriteClosingBlock() override {}

    // Block 511 as the handheld sent it; empty until it was read.
    const std::vector<uint8_t>& UpperSystemBlock() const { return upperSystemBlock; }

private:
    std::vector<uint8_t> upperSystemBlock;
};
