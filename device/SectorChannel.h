// An open raw channel to handheld volumes: whole 512-byte sectors in, whole sectors out.
#pragma once

#include <cstdint>

constexpr uint32_t kSectorSize = 512;

// What a request for the volume lock came to.
enum class VolumeLock {
    Locked,
    InUse,    // another program holds the volume open; it may let go soon
    Refused,  // for any other reason: asking again will not help
};

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
    // Held around every block transfer, so that the system lets the mailbox be written.
    virtual VolumeLock LockVolume(int32_t driveIndex) = 0;
    virtual bool UnlockVolume(int32_t driveIndex) = 0;
};
