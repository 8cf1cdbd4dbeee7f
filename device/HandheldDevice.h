// The handheld behind one drive letter: its raw channel, identification and block transfers.
#pragma once

#include <cstdint>
#include <memory>

#include "app/core/RefCounted.h"
#include "device/DeviceServices.h"
#include "device/SectorChannel.h"

class HandheldDevice : public RefCounted {
public:
    enum Direction : int32_t { NoDirection = 0, Reading = 1, Writing = 2 };
    static constexpr uint32_t kTurnaroundMilliseconds = 100;
    // A volume that has just appeared may be held open for a while by another program
    // (Explorer, the indexer, a virus scanner): the lock is asked for again, up to 14.9 s in
    // all, as disk writers wait.
    static constexpr uint32_t kLockAttempts = 150;
    static constexpr uint32_t kLockRetryMilliseconds = 100;

    // How an open for a run came out.
    enum class RunOpening { Ready, Unreadable, NoRights, VolumeInUse };

    HandheldDevice(int32_t driveIndex, const DeviceServices& services);
    ~HandheldDevice() override;

    // Opens itself, writes one zero block to the closing block and closes again; writes
    // nothing to a drive that no longer identifies.
    virtual void WriteClosingBlock();
    // Tries the VWIN32 device first, then the drive's own volume, for reading and writing.
    virtual bool Open();
    virtual void Close();
    // Whether sector 0 carries the identification text.
    virtual bool Identify();
    virtual int32_t GetDriveIndex();
    virtual bool ReadBlocks(uint32_t firstBlock, uint32_t byteCount, uint8_t* destination);
    virtual bool WriteBlocks(uint32_t firstBlock, uint32_t byteCount, const uint8_t* source);

    // Open, kept open only if the drive still carries the identification; on the volume path
    // locked from here until Close.
    RunOpening OpenIdentified();
    // As Open, but the drive's volume for reading only: enough to identify it.
    bool OpenToRead();
    // Whether the last failed open was refused for lack of rights.
    bool OpenDenied() const { return openDenied; }

    // Whole sectors through 512-aligned buffers; the count of bytes moved, or -1 unless
    // every byte asked for moved.
    int32_t ReadSectors(uint32_t sector, uint32_t count, uint8_t* buffer);
    int32_t WriteSectors(uint32_t sector, uint32_t count, const uint8_t* buffer);
    // False when the lock cannot be had: the transfer then sends nothing.
    bool LockVolume();
    bool UnlockVolume();

    // The drive scan moves its one probe from drive to drive while it is closed.
    void SetDriveIndex(int32_t index) { driveIndex = index; }
    bool IsOpen() const { return handle != nullptr; }
    bool UsesVolumeIo() const { return useVolumeIo != 0; }
    int32_t LastDirection() const { return lastDirection; }

protected:
    std::unique_ptr<SectorChannel> handle;  // null when closed
    int32_t driveIndex;
    uint32_t useVolumeIo = 0;
    int32_t lastDirection = NoDirection;

private:
    bool OpenChannel(bool forWriting);
    void ReleaseChannel();
    VolumeLock AskForLock();
    bool SectorsAcceptable(uint32_t count, const uint8_t* buffer) const;
    void Turnaround(Direction direction);
    bool SendCommand(uint8_t* transfer, uint8_t code, uint32_t block, uint32_t byteCount);
    bool TakeAnswer(uint8_t* transfer, uint32_t room, uint8_t* cursor, uint32_t* payload);

    DeviceServices services;
    bool holdsRunLock = false;
    bool openDenied = false;
};
