// Where progress goes while data moves: a range and a position in blocks, a step after each
// window written, and a moment for the user interface to handle what is waiting.
#pragma once

#include <cstdint>

class ProgressSink {
public:
    virtual void SetProgressRange(uint32_t low, uint32_t high) = 0;
    virtual void SetProgressPos(uint32_t position) = 0;
    // Advances by this many 4096-byte blocks, stopping at the upper end of the range.
    virtual void StepProgress(uint32_t blocks) = 0;
    // Handles the waiting window messages so the window repaints mid-transfer.
    virtual void PumpMessages() = 0;

protected:
    ~ProgressSink() = default;
};
