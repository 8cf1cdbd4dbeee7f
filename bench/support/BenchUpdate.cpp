#include "BenchUpdate.h"

#include <memory>

#include "BenchClock.h"
#include "ConsoleWindow.h"
#include "device/HandheldFinder.h"
#include "engine/DeviceImage.h"
#include "engine/UpdateController.h"

UpdateTiming TimeOneUpdate(VolumeAccess& volumes, Sleeper& sleeper, DataFileSource& dataFile) {
    // 2 MiB: not on the stack. A fresh image each run, as a fresh program has.
    const auto image = std::make_unique<DeviceImage>();
    // Shows nothing; every message is closed at once.
    ConsoleWindow window(stdout, nullptr, {ConsoleStyle::Progress::Hidden, false, false});
    HandheldFinder finder(DeviceSeams{&volumes, &sleeper, &window});
    UpdateController controller;
    controller.Attach({&finder, &window, &dataFile, image.get()});

    UpdateTiming timing;
    const double wall = WallSeconds();
    const double cpu = ThreadCpuSeconds();
    controller.RunUpdate();
    timing.cpuSeconds = ThreadCpuSeconds() - cpu;
    timing.wallSeconds = WallSeconds() - wall;
    timing.result = controller.LastResult();
    // The device holds a channel into the caller's volumes, which may go next.
    g_currentDevice.Reset();
    return timing;
}
