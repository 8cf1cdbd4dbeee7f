// What a block transfer tells the user interface while data moves.
#pragma once

#include <cstdint>

class TransferProgress {
public:
    // Advances the progress display by this many 4096-byte blocks.
    virtual void StepProgress(uint32_t blocks) = 0;
    // Handles the waiting window messages so the window repaints mid-transfer.
    virtual void PumpMessages() = 0;

protected:
    ~TransferProgress() = default;
};
