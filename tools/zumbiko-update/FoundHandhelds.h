// The handhelds a scan found, handed to the update run as its scanner.
#pragma once

#include <cstddef>

#include "device/DeviceServices.h"
#include "device/HandheldScanner.h"

class VolumeAccess;

class FoundHandhelds final : public HandheldScanner {
public:
    // The volume index the run's one handheld stands at.
    static constexpr int32_t kDrive = 2;

    // count: how many the scan found. With one, the run's device reaches it as volume kDrive
    // of volumes; it writes nothing when dryRun is set.
    FoundHandhelds(size_t count, VolumeAccess& volumes, Sleeper& sleeper, ProgressSink& progress,
                   bool dryRun);

    int32_t FindHandhelds(uint32_t* mask) override;
    RefPtr<HandheldDevice> CreateDevice(int32_t driveIndex) override;

private:
    DeviceServices services;
    size_t count;
    bool dryRun;
};
