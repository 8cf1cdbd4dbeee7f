#include "device/HandheldFinder.h"

#include "device/VolumeAccess.h"

// One probe serves every drive, so only its first identification read pauses.
int32_t HandheldFinder::FindHandhelds(uint32_t* mask) {
    *mask = 0;
    int32_t found = 0;
    const uint32_t drives = seams.volumes->PresentVolumes();
    const RefPtr<HandheldDevice> probe = new HandheldDevice(0, seams);
    for (int32_t drive = kFirstProbedDrive; drive <= kLastProbedDrive; ++drive) {
        if ((drives & (uint32_t{1} << drive)) == 0) continue;
        probe->SetDriveIndex(drive);
        if (!probe->Open()) continue;
        if (probe->Identify()) {
            *mask |= uint32_t{1} << drive;
            ++found;
        }
        probe->Close();
    }
    return found;
}

RefPtr<HandheldDevice> HandheldFinder::CreateDevice(int32_t driveIndex) {
    return new HandheldDevice(driveIndex, seams);
}
