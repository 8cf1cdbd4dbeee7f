#include "device/HandheldFinder.h"

#include "device/VolumeAccess.h"

// One probe serves every drive, so only its first identification read pauses. It only reads:
// the drive that identifies is opened for writing by the run itself.
int32_t HandheldFinder::FindHandhelds(uint32_t* mask) {
    *mask = 0;
    int32_t found = 0;
    uint32_t denied = 0;
    uint32_t failed = 0;
    const uint32_t drives = services.volumes->PresentVolumes();
    const RefPtr<HandheldDevice> probe = new HandheldDevice(0, services);
    for (int32_t drive = kFirstProbedDrive; drive <= kLastProbedDrive; ++drive) {
        if ((drives & (uint32_t{1} << drive)) == 0) continue;
        if (!services.volumes->WorthProbing(drive)) continue;
        probe->SetDriveIndex(drive);
        if (!probe->OpenToRead()) {
            ++(probe->OpenDenied() ? denied : failed);
            continue;
        }
        if (probe->Identify()) {
            *mask |= uint32_t{1} << drive;
            ++found;
        }
        probe->Close();
    }
    lackedRights = found == 0 && denied != 0 && failed == 0;
    return found;
}

RefPtr<HandheldDevice> HandheldFinder::CreateDevice(int32_t driveIndex) {
    return new HandheldDevice(driveIndex, services);
}
