#include "BenchUpdate.h"

#include <memory>

#include "BenchClock.h"
#include "device/HandheldFinder.h"
#include "engine/DeviceImage.h"
#include "engine/RunWindow.h"
#include "engine/UpdateController.h"

namespace {

class SilentWindow final : public RunWindow {
public:
    void ShowControl(RunControl, bool) override {}
    void SetProgressRange(uint32_t, uint32_t) override {}
    void SetProgressPos(uint32_t) override {}
    void RaiseBusy() override {}
    void LowerBusy() override {}
    void ShowMessage(MessageKind, const wchar_t*) override {}
    void StepProgress(uint32_t) override {}
    void PumpMessages() override {}
};

}  // namespace

UpdateTiming TimeOneUpdate(VolumeAccess& volumes, Sleeper& sleeper, DataFileSource& dataFile) {
    // 2 MiB: not on the stack. A fresh image each run, as a fresh program has.
    const auto image = std::make_unique<DeviceImage>();
    SilentWindow window;
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
