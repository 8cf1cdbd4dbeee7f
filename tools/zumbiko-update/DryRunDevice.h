// A handheld that is read but never written: an update against it shows what would happen.
#pragma once

#include <cstdint>

#include "device/HandheldDevice.h"

class DryRunDevice final : public HandheldDevice {
public:
    using HandheldDevice::HandheldDevice;

    // Nothing reaches the handheld, not even the closing block.
    bool WriteBlocks(uint32_t, uint32_t, const uint8_t*) override { return true; }
    void WriteClosingBlock() override {}
};
