// An open raw channel to handheld volumes: whole 512-byte sectors in, whole sectors out.
#pragma once

#include <cstdint>

constexpr uint32_t kSectorSize = 512;

// Closing the channel is destroying it. The drive is named in every call because
// one VWIN32 channel serves every drive; a volume channel ignores it.
class SectorChannel {
public:
    SectorChannel() = default;
    SectorChannel(const SectorChannel&) = delete;
    SectorChannel& operator=(const SectorChannel&) = delete;
    virtual ~SectorChannel() = default;

    // Bytes moved, or -1.
    virtual int32_t ReadSectors(int32_t driveIndex, uint32_t sector, uint32_t count,
                                uint8_t* buffer) = 0;
    virtual int32_t WriteSectors(int32_t driveIndex, uint32_t sector, uint32_t count,
                                 const uint8_t* buffer) = 0;
    // Asked only of the VWIN32 channel; a volume needs no lock of its own.
    virtual bool LockVolume(int32_t driveIndex) = 0;
    virtual bool UnlockVolume(int32_t driveIndex) = 0;
};
