#include "SignalHold.h"

#include <ctime>

namespace {

constexpr int kHeld[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

}  // namespace

void SignalHold::Hold(bool held) {
    if (held == holding) return;
    if (held) {
        sigset_t blocked;
        sigemptyset(&blocked);
        for (const int signal : kHeld) sigaddset(&blocked, signal);
        sigprocmask(SIG_BLOCK, &blocked, &before);
        holding = true;
        return;
    }
    sigset_t pending;
    sigpending(&pending);
    for (const int signal : kHeld) {
        // One blocked before the hold is not ours to take.
        if (!sigismember(&pending, signal) || sigismember(&before, signal)) continue;
        sigset_t one;
        sigemptyset(&one);
        sigaddset(&one, signal);
        const timespec now{};
        if (sigtimedwait(&one, nullptr, &now) == signal && taken == 0) taken = signal;
    }
    sigprocmask(SIG_SETMASK, &before, nullptr);
    holding = false;
}
