// What a device or a whole run reaches in tests: emulated handhelds behind volume indices,
// pauses counted instead of slept, and one recording window that takes the progress too.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "device/DeviceServices.h"
#include "emulator/EmulatorVolumes.h"
#include "tests/support/CountingSleeper.h"
#include "tests/support/StandIns.h"
#ifdef _WIN32
#include "tests/support/LockRuleVolumes.h"
#endif

struct EmulatedSystem {
    EmulatorVolumes volumes;
    CountingSleeper sleeper;
    RecordingWindow window;
#ifdef _WIN32
    // Under the lock rule the volumes open as on Windows Vista and later. The Windows build
    // runs every device test so once more (ZUMBIKO_LOCK_RULE, see tests/device/CMakeLists.txt).
    LockRuleVolumes windows{volumes};
    bool lockRule = std::getenv("ZUMBIKO_LOCK_RULE") != nullptr;
#endif
    DeviceServices Services() {
#ifdef _WIN32
        if (lockRule) return {&windows, &sleeper, &window};
#endif
        return {&volumes, &sleeper, &window};
    }
};

constexpr int32_t kDriveE = 4;
