// The platform's volumes by index, on Windows index n being drive letter 'A' + n: which are
// present and how a channel to one is opened.
#pragma once

#include <cstdint>
#include <memory>

#include "device/SectorChannel.h"

// Volumes 0 to 25, as Windows has drive letters A to Z.
constexpr int32_t kDriveLetters = 26;

class VolumeAccess {
public:
    // Bit n set: volume n is present.
    virtual uint32_t PresentVolumes() = 0;
    // The VWIN32 device of the Windows 95 family, one channel for every drive; null where it
    // cannot be opened.
    virtual std::unique_ptr<SectorChannel> OpenVwin32() = 0;
    // Volume n for reading and writing; null on failure.
    virtual std::unique_ptr<SectorChannel> OpenVolume(int32_t index) = 0;
    // Volume n for reading only, for a look at a drive that may not be a handheld; where the
    // platform makes no difference, as OpenVolume gives it.
    virtual std::unique_ptr<SectorChannel> OpenVolumeToRead(int32_t index) {
        return OpenVolume(index);
    }
    // Whether the last open that gave null was refused for lack of rights.
    virtual bool LastOpenDenied() { return false; }
    // Whether volume n may carry a handheld at all, asked before it is opened.
    virtual bool WorthProbing(int32_t) { return true; }

protected:
    ~VolumeAccess() = default;
};
