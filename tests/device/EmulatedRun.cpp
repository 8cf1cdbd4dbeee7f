#include "EmulatedRun.h"

#include <cstring>

#include "device/HandheldFinder.h"
#include "engine/UpdateController.h"

EmulatedRun::EmulatedRun(const HandheldOptions& options, bool vwin32)
    : handheld(std::make_unique<EmulatedHandheld>(options)) {
    seams.volumes.Attach(kDriveE, handheld.get());
    seams.volumes.PresentVwin32(vwin32);
}

EmulatedRun::~EmulatedRun() = default;

RunOutcome EmulatedRun::Run(const uint8_t* data, size_t size) {
    dataFile.bytes.assign(data, data + size);

    HandheldFinder finder(seams.Services());
    UpdateController controller;
    controller.Attach({&finder, &seams.window, &dataFile, image.get()});
    // As the window drives it: Update pressed in Ready, one idle pass, then the run.
    controller.SetState(UpdateController::Ready);
    controller.SetState(UpdateController::UpdateRequested);
    controller.Step();
    controller.Step();

    RunOutcome outcome;
    outcome.result = controller.LastOutcome().result;
    outcome.state = controller.GetState();
    outcome.deviceLeftOpen = g_currentDevice && g_currentDevice->IsOpen();
    // The current device holds a channel into this handheld; it must not outlive it.
    controller.Detach();
    outcome.openChannels = seams.volumes.OpenChannels();
    outcome.busyCount = seams.window.busyCount;
    for (const RecordingWindow::Message& message : seams.window.messages) {
        outcome.messages.push_back(message.kind);
    }
    seams.window.messages.clear();
    return outcome;
}

void EmulatedRun::Reconnect() {
    HandheldOptions options = handheld->Options();
    options.failOperation = 0;
    options.vanishAtOperation = 0;
    options.vanishAfterWindows.reset();
    auto again = std::make_unique<EmulatedHandheld>(options);
    std::memcpy(again->Memory().Bytes(), handheld->Memory().Bytes(), HandheldMemory::kSize);
    seams.volumes.Attach(kDriveE, again.get());
    handheld = std::move(again);
}

std::vector<uint8_t> EmulatedRun::Memory() {
    const uint8_t* bytes = handheld->Memory().Bytes();
    return {bytes, bytes + HandheldMemory::kSize};
}
