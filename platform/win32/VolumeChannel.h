// One drive's raw volume, "\\.\E:", opened unbuffered on the Windows NT family.
#pragma once

#include "device/SectorChannel.h"
#include "platform/win32/Win32Handles.h"

class VolumeChannel final : public SectorChannel {
public:
    VolumeChannel(Win32Api& api, ChannelHandle handle) : api(api), handle(std::move(handle)) {}

    int32_t ReadSectors(int32_t driveIndex, uint32_t sector, uint32_t count,
                        uint8_t* buffer) override;
    int32_t WriteSectors(int32_t driveIndex, uint32_t sector, uint32_t count,
                         const uint8_t* buffer) override;
    // Since Windows Vista a mounted volume takes writes inside its file system only through
    // the handle that holds its lock; the lock is refused while any other handle is open.
    VolumeLock LockVolume(int32_t driveIndex) override;
    bool UnlockVolume(int32_t driveIndex) override;

private:
    bool Seek(uint32_t sector);
    bool Control(DWORD code);

    Win32Api& api;
    ChannelHandle handle;
};
