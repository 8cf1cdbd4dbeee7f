#include "app/UpdateWiring.h"

#include <memory>

#include "app/Application.h"
#include "device/HandheldFinder.h"
#include "device/TransferProgress.h"
#include "engine/DeviceImage.h"
#include "engine/UpdateController.h"
#include "platform/ProgramDataFile.h"
#include "platform/SystemDevices.h"
#include "ui/MainWindow.h"

namespace {

// What a block transfer reports goes to the main window's bar and the message pump.
class WindowProgress final : public TransferProgress {
public:
    explicit WindowProgress(MainWindow& window) : window(window) {}
    void StepProgress(uint32_t blocks) override {
        window.StepProgress(static_cast<int32_t>(blocks));
    }
    // A quit taken here is remembered by the application for its main loop.
    void PumpMessages() override { Application::PumpMessages(); }

private:
    MainWindow& window;
};

// The system's drives and pause, with progress going to the window.
struct Wiring {
    explicit Wiring(MainWindow& window) : progress(window), finder(SystemDeviceSeams(progress)) {}

    WindowProgress progress;
    HandheldFinder finder;
    ProgramDataFile dataFile;
};

std::unique_ptr<Wiring> g_wiring;

}  // namespace

void AttachUpdateSeams(MainWindow& window) {
    g_wiring = std::make_unique<Wiring>(window);
    UpdateSeams seams;
    seams.scanner = &g_wiring->finder;
    seams.window = &window;
    seams.dataFile = &g_wiring->dataFile;
    seams.image = &g_deviceImage;
    g_updateController.Attach(seams);
}

void DetachUpdateSeams() {
    g_updateController.Attach(UpdateSeams{});
    g_wiring.reset();
}
