// The update's window on a console: progress as lines or as a redrawn bar, messages as text.
// Both console front-ends share it, so a run reads the same wherever it is started from.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>

#include "device/ProgressMath.h"
#include "engine/RunWindow.h"

struct ConsoleStyle {
    enum class Progress { Hidden, Lines, Bar };
    Progress progress = Progress::Lines;
    // Names the display shown and hidden, the kind of each message and the blocks moved: for
    // scripts that follow a run step by step.
    bool verbose = true;
    bool printMessages = true;
};

class ConsoleWindow final : public RunWindow {
public:
    static constexpr int32_t kBarWidth = 40;

    // Error messages go to errors; everything else to out.
    explicit ConsoleWindow(std::FILE* out, std::FILE* errors = nullptr, ConsoleStyle style = {})
        : out(out), errors(errors != nullptr ? errors : out), style(style) {}

    void ShowControl(RunControl control, bool visible) override;
    void SetProgressRange(uint32_t low, uint32_t high) override;
    void SetProgressPos(uint32_t position) override;
    // Stops at the upper end of the range, as the progress bar does.
    void StepProgress(uint32_t blocks) override;
    void PumpMessages() override { ++pumps; }
    void RaiseBusy() override { ++busyCount; }
    void LowerBusy() override { --busyCount; }
    void SetHandheldInUse(bool inUse) override {
        if (inUseHook) inUseHook(inUse);
    }
    // Once out has failed (a pipe whose reader went away), every message goes to errors.
    void ShowMessage(MessageKind kind, const wchar_t* text) override;

    // For a front-end that must keep the run from being cut short while the handheld is in use.
    void OnHandheldInUse(std::function<void(bool)> hook) { inUseHook = std::move(hook); }

    int32_t BusyCount() const { return busyCount; }
    uint32_t Pumps() const { return pumps; }
    // The last message shown, as ASCII, for callers that word the result themselves.
    const std::string& LastMessage() const { return lastMessage; }
    MessageKind LastKind() const { return lastKind; }

private:
    void ReportPercent();
    void DrawBar(int32_t percent);
    void EndBar();

    std::FILE* out;
    std::FILE* errors;
    ConsoleStyle style;
    int32_t busyCount = 0;
    uint32_t pumps = 0;
    ProgressState progress{0, 1, 0};
    int32_t shownTenths = 0;
    int32_t shownPercent = -1;
    bool progressShown = false;
    bool barOnScreen = false;
    std::string lastMessage;
    MessageKind lastKind = MessageKind::Information;
    std::function<void(bool)> inUseHook;
};
