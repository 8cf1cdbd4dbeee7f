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
    explicit Wiring(MainWindow& window) : finder(SystemDeviceServices(window)) {}

    HandheldFinder finder;
    ProgramDataFile dataFile;
};

std::unique_ptr<Wiring> g_wiring;

}  // namespace

void ConnectUpdate(MainWindow& window) {
    g_wiring = std::make_unique<Wiring>(window);
    g_updateController.Attach({&g_wiring->finder, &window, &g_wiring->dataFile, &g_deviceImage});
}

void DisconnectUpdate() {
    g_updateController.Detach();
    g_wiring.reset();
}
