// Keeps the signals that end a program from a terminal or a service manager (SIGINT, SIGTERM,
// SIGHUP, SIGQUIT) waiting while the handheld is in use: a handheld left between a write command
// and its end, or without its closing block, stays half written. What came meanwhile is taken when
// the hold ends, for the program to end by it once it has told the result.
#pragma once

#include <signal.h>

class SignalHold {
public:
    SignalHold() = default;
    ~SignalHold() { Hold(false); }
    SignalHold(const SignalHold&) = delete;
    SignalHold& operator=(const SignalHold&) = delete;

    // Repeating a call changes nothing.
    void Hold(bool held);
    // The first signal that came while held; 0 if none did.
    int Taken() const { return taken; }

private:
    bool holding = false;
    sigset_t before{};
    int taken = 0;
};
