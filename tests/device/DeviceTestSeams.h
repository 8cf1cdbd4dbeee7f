// Seams for device tests: pauses counted instead of slept, progress and pumping recorded,
// emulated handhelds behind drive letters.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "device/DeviceSeams.h"
#include "device/Sleeper.h"
#include "device/TransferProgress.h"
#include "emulator/EmulatorVolumes.h"

class CountingSleeper final : public Sleeper {
public:
    void Sleep(uint32_t milliseconds) override { pauses.push_back(milliseconds); }
    std::vector<uint32_t> pauses;
};

class RecordingProgress final : public TransferProgress {
public:
    void StepProgress(uint32_t blocks) override { steps.push_back(blocks); }
    void PumpMessages() override {
        ++pumps;
        if (whilePumping) whilePumping();
    }
    uint32_t StepTotal() const {
        uint32_t total = 0;
        for (const uint32_t blocks : steps) total += blocks;
        return total;
    }
    std::vector<uint32_t> steps;
    uint32_t pumps = 0;
    // What the rest of the system does while the transfer lets it run.
    std::function<void()> whilePumping;
};

struct TestSeams {
    EmulatorVolumes volumes;
    CountingSleeper sleeper;
    RecordingProgress progress;
    DeviceSeams Seams() { return {&volumes, &sleeper, &progress}; }
};

constexpr int32_t kDriveE = 4;
