#include "app/main/UpdateWiring.h"

#include <memory>

#include "device/HandheldFinder.h"
#include "engine/DeviceImage.h"
#include "engine/UpdateController.h"
#include "platform/ProgramDataFile.h"
#include "platform/SystemDevices.h"
#include "ui/MainWindow.h"

namespace {

// The system's drives and pause, with progress going to the window.
struct Wiring {
    explicit Wiring(MainWindow& window) : finder(SystemDeviceSeams(window)) {}

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
