// What an update run needs of the main window: the run's controls, progress, busy marks and
// messages.
#pragma once

#include "device/ProgressSink.h"
#include "ui/core/MessageTable.h"

enum class RunControl {
    UpdateButton,
    LanguageChoice,
    ProgressDisplay,
};

// The block transfers of a run report to the same window, as its progress sink.
class RunWindow : public ProgressSink {
public:
    virtual void ShowControl(RunControl control, bool visible) = 0;
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
