// The turnaround pause, really slept and measured; CountingSleeper only counts it.
#pragma once

#include <chrono>
#include <cstdint>
#include <thread>

#include "tests/support/CountingSleeper.h"

// Sleeps as the product's own pause does, and counts what it was asked for and how long it
// really took: the excess is the system waking the thread late, not work of ours.
class PauseSleeper final : public Sleeper {
public:
    void Sleep(uint32_t milliseconds) override {
        ++pauses;
        askedMilliseconds += milliseconds;
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        sleptSeconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    uint32_t pauses = 0;
    uint64_t askedMilliseconds = 0;
    double sleptSeconds = 0;
};
