// The handheld behind one drive letter: its raw channel, identification and block transfers.
#pragma once

#include <cstdint>

#include "app/RefCounted.h"

class HandheldDevice : public RefCounted {
public:
    explicit HandheldDevice(int32_t driveIndex = 0);
    ~HandheldDevice() override;

    // Opens itself, writes one zero block at block address 512 and closes again.
    virtual void WriteClosingBlock();
    virtual bool Open();
    virtual void Close();
    virtual bool Identify();
    virtual int32_t GetDriveIndex();
    virtual bool ReadBlocks(uint32_t firstBlock, uint32_t byteCount, uint8_t* destination);
    virtual bool WriteBlocks(uint32_t firstBlock, uint32_t byteCount, const uint8_t* source);

protected:
    int32_t driveIndex;
};
