// What an update run needs of the main window: its controls, progress, busy marks and messages.
#pragma once

#include <cstdint>

#include "ui/MessageTable.h"

constexpr int32_t kUpdateButtonId = 1101;
constexpr int32_t kProgressDisplayId = 1102;
constexpr int32_t kFirstLanguageCommand = 20480;
constexpr int32_t kFirstLanguageButtonId = 20481;
constexpr int32_t kLastLanguageButtonId = 20485;

class RunWindow {
public:
    virtual void ShowControl(int32_t controlId, bool visible) = 0;
    virtual void SetProgressRange(uint32_t low, uint32_t high) = 0;
    virtual void SetProgressPos(uint32_t position) = 0;
    // busyCount: the device transfers under way.
    virtual void RaiseBusy() = 0;
    virtual void LowerBusy() = 0;
    // True from the first sector the run sends until its closing block is written: a handheld
    // that loses the computer in between is left half written. Repeating a call changes nothing.
    virtual void SetHandheldInUse(bool /*inUse*/) {}
    // Shows the text modally and returns when the user has closed it.
    virtual void ShowMessage(MessageKind kind, const wchar_t* text) = 0;

protected:
    ~RunWindow() = default;
};

// Holds busyCount raised for as long as it lives, so every path lowers it again.
class BusyScope {
public:
    explicit BusyScope(RunWindow& window) : window(window) { window.RaiseBusy(); }
    ~BusyScope() { window.LowerBusy(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    RunWindow& window;
};
