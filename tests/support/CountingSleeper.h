// A sleeper for runs that count their pauses instead of, or as well as, taking them.
#pragma once

#include <cstdint>
#include <vector>

#include "device/Sleeper.h"

// Keeps every pause asked for, and takes it through another sleeper when given one.
class CountingSleeper final : public Sleeper {
public:
    explicit CountingSleeper(Sleeper* inner = nullptr) : inner(inner) {}
    void Sleep(uint32_t milliseconds) override {
        pauses.push_back(milliseconds);
        if (inner != nullptr) inner->Sleep(milliseconds);
    }

    std::vector<uint32_t> pauses;

private:
    Sleeper* inner;
};
