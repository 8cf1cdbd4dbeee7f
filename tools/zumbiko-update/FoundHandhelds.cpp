#include "FoundHandhelds.h"

#include "DryRunDevice.h"
#include "device/HandheldFinder.h"

FoundHandhelds::FoundHandhelds(const std::vector<std::string>& paths, Sleeper& sleeper,
                               ProgressSink& progress, bool dryRun)
    : seams{&volumes, &sleeper, &progress}, count(paths.size()), dryRun(dryRun) {
    for (size_t i = 0; i < paths.size(); ++i) {
        const int32_t drive = HandheldFinder::kFirstProbedDrive + static_cast<int32_t>(i);
        if (drive > HandheldFinder::kLastProbedDrive) break;  // the count still tells "several"
        volumes.Assign(drive, paths[i]);
    }
}

int32_t FoundHandhelds::FindHandhelds(uint32_t* mask) {
    *mask = volumes.PresentVolumes();
    return static_cast<int32_t>(count);
}

RefPtr<HandheldDevice> FoundHandhelds::CreateDevice(int32_t driveIndex) {
    if (dryRun) return new DryRunDevice(driveIndex, seams);
    return new HandheldDevice(driveIndex, seams);
}
