// The platform's drives: which letters exist and how a channel to one is opened.
#pragma once

#include <cstdint>
#include <memory>

#include "device/SectorChannel.h"

// "\\.\E:" and its terminator fit.
constexpr size_t kVolumeNameCapacity = 16;

class VolumeAccess {
public:
    // Bit n set: drive letter 'A' + n is present.
    virtual uint32_t LogicalDrives() = 0;
    // The VWIN32 device of the Windows 95 family, one channel for every drive; null where it
    // cannot be opened.
    virtual std::unique_ptr<SectorChannel> OpenVwin32() = 0;
    // One drive's volume by its name, "\\.\E:", for reading and writing; null on failure.
    virtual std::unique_ptr<SectorChannel> OpenVolume(const wchar_t* volumeName) = 0;

protected:
    ~VolumeAccess() = default;
};
