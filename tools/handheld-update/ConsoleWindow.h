// The update's window as lines on a console: progress in steps of ten percent, messages as
// text.
#pragma once

#include <cstdint>
#include <cstdio>

#include "device/TransferProgress.h"
#include "engine/RunWindow.h"

class ConsoleWindow final : public RunWindow, public TransferProgress {
public:
    explicit ConsoleWindow(std::FILE* out) : out(out) {}

    void ShowControl(int32_t controlId, bool visible) override;
    void SetProgressRange(uint32_t low, uint32_t high) override;
    void SetProgressPos(uint32_t position) override;
    void RaiseBusy() override { ++busyCount; }
    void LowerBusy() override { --busyCount; }
    void ShowMessage(MessageKind kind, const wchar_t* text) override;

    // Stops at the upper end of the range, as the progress bar does.
    void StepProgress(uint32_t blocks) override;
    void PumpMessages() override { ++pumps; }

    int32_t BusyCount() const { return busyCount; }
    uint32_t Pumps() const { return pumps; }
    uint32_t Position() const { return position; }

private:
    void ReportPercent();

    std::FILE* out;
    int32_t busyCount = 0;
    uint32_t pumps = 0;
    uint32_t low = 0;
    uint32_t high = 1;
    uint32_t position = 0;
    uint32_t shownTenths = 0;
};
