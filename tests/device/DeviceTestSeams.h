// Seams for device tests: pauses counted instead of slept, progress and pumping recorded,
// emulated handhelds behind drive letters.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

#include "device/DeviceSeams.h"
#include "device/ProgressSink.h"
#include "device/Sleeper.h"
#include "emulator/EmulatorVolumes.h"
#ifdef _WIN32
#include "LockRuleVolumes.h"
#endif

class RecordingProgress final : public ProgressSink {
public:
    void SetProgressRange(uint32_t, uint32_t) override {}
    void SetProgressPos(uint32_t) override {}
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
#ifdef _WIN32
    // Under the lock rule the volumes open as on Windows Vista and later. The Windows build
    // runs every device test so once more (ZUMBIKO_LOCK_RULE, see CMakeLists.txt).
    LockRuleVolumes windows{volumes};
    bool lockRule = std::getenv("ZUMBIKO_LOCK_RULE") != nullptr;
#endif
    DeviceSeams Seams() {
#ifdef _WIN32
        if (lockRule) return {&windows, &sleeper, &progress};
#endif
        return {&volumes, &sleeper, &progress};
    }
};

constexpr int32_t kDriveE = 4;
