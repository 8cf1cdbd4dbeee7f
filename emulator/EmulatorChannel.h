// A sector channel to emulated handhelds: one drive's volume, or the VWIN32 device that
// reaches every drive by its number.
#pragma once

#include "device/SectorChannel.h"

class EmulatedHandheld;
class EmulatorVolumes;

class EmulatorChannel final : public SectorChannel {
public:
    // A null handheld makes the VWIN32 channel: each call names its drive.
    EmulatorChannel(EmulatorVolumes& volumes, EmulatedHandheld* handheld);
    ~EmulatorChannel() override;

    int32_t ReadSectors(int32_t driveIndex, uint32_t sector, uint32_t count,
                        uint8_t* buffer) override;
    int32_t WriteSectors(int32_t driveIndex, uint32_t sector, uint32_t count,
                         const uint8_t* buffer) override;
    VolumeLock LockVolume(int32_t driveIndex) override;
    bool UnlockVolume(int32_t driveIndex) override;

private:
    EmulatedHandheld* Target(int32_t driveIndex) const;

    EmulatorVolumes& volumes;
    EmulatedHandheld* handheld;
};
