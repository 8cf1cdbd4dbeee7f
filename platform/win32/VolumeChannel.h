// One drive's raw volume, "\\.\E:", opened unbuffered on the Windows NT family.
#pragma once

#include "device/SectorChannel.h"
#include "platform/win32/ChannelHandle.h"

class VolumeChannel final : public SectorChannel {
public:
    VolumeChannel(Win32Api& api, ChannelHandle handle) : api(api), handle(std::move(handle)) {}

    int32_t ReadSectors(int32_t driveIndex, uint32_t sector, uint32_t count,
                        uint8_t* buffer) override;
    int32_t WriteSectors(int32_t driveIndex, uint32_t sector, uint32_t count,
                         const uint8_t* buffer) override;
    // The volume is the handheld's alone; nothing to lock.
    bool LockVolume(int32_t) override { return true; }
    bool UnlockVolume(int32_t) override { return true; }

private:
    bool Seek(uint32_t sector);

    Win32Api& api;
    ChannelHandle handle;
};
