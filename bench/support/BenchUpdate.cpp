#include "BenchUpdate.h"

#include <memory>

#include "BenchClock.h"
#include "ConsoleWindow.h"
#include "device/HandheldFinder.h"
#include "engine/DeviceImage.h"
#include "engine/UpdateRun.h"

UpdateTiming TimeOneUpdate(VolumeAccess& volumes, Sleeper& sleeper, DataFileSource& dataFile) {
    // 2 MiB: not on the stack. A fresh image each run, as a fresh program has.
    const auto image = std::make_unique<DeviceImage>();
    // Shows nothing; every message is closed at once.
    ConsoleWindow window(stdout, nullptr, {ConsoleStyle::Progress::Hidden, false, false});
    HandheldFinder finder(DeviceServices{&volumes, &sleeper, &window});

    UpdateTiming timing;
    const double wall = WallSeconds();
    const double cpu = ThreadCpuSeconds();
    timing.result = RunWholeUpdate({&finder, &window, &dataFile, image.get()}).result;
    timing.cpuSeconds = ThreadCpuSeconds() - cpu;
    timing.wallSeconds = WallSeconds() - wall;
    return timing;
}
