#include "FoundHandhelds.h"

#include "DryRunDevice.h"

FoundHandhelds::FoundHandhelds(size_t count, VolumeAccess& volumes, Sleeper& sleeper,
                               ProgressSink& progress, bool dryRun)
    : services{&volumes, &sleeper, &progress}, count(count), dryRun(dryRun) {}

// With several, the run stops at the count, before it asks for a drive.
int32_t FoundHandhelds::FindHandhelds(uint32_t* mask) {
    *mask = count > 0 ? uint32_t{1} << kDrive : 0;
    return static_cast<int32_t>(count);
}

RefPtr<HandheldDevice> FoundHandhelds::CreateDevice(int32_t driveIndex) {
    if (dryRun) return new DryRunDevice(driveIndex, services);
    return new HandheldDevice(driveIndex, services);
}
