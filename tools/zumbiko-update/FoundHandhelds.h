// The handhelds a scan found, handed to the update run as its scanner.
#pragma once

#include <string>
#include <vector>

#include "device/DeviceSeams.h"
#include "device/HandheldScanner.h"
#include "platform/posix/PosixVolumes.h"

class FoundHandhelds final : public HandheldScanner {
public:
    // The run's device writes nothing when dryRun is set.
    FoundHandhelds(const std::vector<std::string>& paths, Sleeper& sleeper, ProgressSink& progress,
                   bool dryRun);

    // Volumes 2 (C:) and on stand for the paths, in their order.
    int32_t FindHandhelds(uint32_t* mask) override;
    RefPtr<HandheldDevice> CreateDevice(int32_t driveIndex) override;

private:
    PosixVolumes volumes;
    DeviceSeams seams;
    size_t count;
    bool dryRun;
};
