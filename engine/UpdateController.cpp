#include "engine/UpdateController.h"

#include <memory>
#include <utility>

#include "app/core/FormatText.h"
#include "device/HandheldScanner.h"
#include "engine/DataFile.h"
#include "engine/DeviceImage.h"
#include "engine/MappedFile.h"
#include "engine/RunWindow.h"
#include "engine/UpdatePlan.h"

UpdateController g_updateController;
RefPtr<HandheldDevice> g_currentDevice;
uint32_t g_errorId = 0;

namespace {

constexpr size_t kResultTextCapacity = 512;

// Closes the device on every path once it has opened.
class DeviceCloser {
public:
    explicit DeviceCloser(HandheldDevice& device) : device(device) {}
    ~DeviceCloser() { device.Close(); }
    DeviceCloser(const DeviceCloser&) = delete;
    DeviceCloser& operator=(const DeviceCloser&) = delete;

private:
    HandheldDevice& device;
};

UpdateResult ResultOfOpening(HandheldDevice::RunOpening opening) {
    switch (opening) {
        case HandheldDevice::RunOpening::Ready:
            return UpdateResult::Updated;
        case HandheldDevice::RunOpening::NoRights:
            return UpdateResult::NoRights;
        case HandheldDevice::RunOpening::VolumeInUse:
            return UpdateResult::DriveInUse;
        case HandheldDevice::RunOpening::Unreadable:
            break;
    }
    return UpdateResult::ReadError;
}

int32_t LowestDrive(uint32_t mask) {
    for (int32_t drive = 0; drive < 32; ++drive) {
        if (mask & (uint32_t{1} << drive)) return drive;
    }
    return -1;
}

}  // namespace

void UpdateController::Step() {
    switch (state) {
        case Start:
            SetState(ChoosingLanguage);
            break;
        case UpdateRequested:
            state = Updating;
            break;
        case Updating:
            RunUpdate();
            break;
        default:
            break;
    }
}

void UpdateController::SetState(int32_t kind) {
    if (parts.window != nullptr && (kind == ChoosingLanguage || kind == Ready)) {
        parts.window->ShowControl(RunControl::UpdateButton, kind == Ready);
        parts.window->ShowControl(RunControl::LanguageChoice, kind == ChoosingLanguage);
    }
    state = kind;
}

UpdateOutcome RunWholeUpdate(const UpdateParts& parts) {
    UpdateController controller;
    controller.Attach(parts);
    controller.RunUpdate();
    UpdateOutcome outcome = std::move(controller.outcome);
    controller.Detach();
    return outcome;
}

void UpdateController::Detach() {
    parts = {};
    g_currentDevice.Reset();
}

const UpdateOutcome& UpdateController::RunUpdate() {
    RunWindow& window = *parts.window;
    window.ShowControl(RunControl::UpdateButton, false);
    outcome = {};

    UpdateResult result = FindTheHandheld();

    window.SetProgressRange(0, 1);
    window.SetProgressPos(0);
    window.ShowControl(RunControl::ProgressDisplay, true);

    if (result == UpdateResult::Updated) result = Transfer();

    window.ShowControl(RunControl::ProgressDisplay, false);
    if (MessageForResult(result).writesClosingBlock && g_currentDevice) {
        window.SetHandheldInUse(true);
        g_currentDevice->WriteClosingBlock();
    }
    window.SetHandheldInUse(false);
    outcome.result = result;
    if (result == UpdateResult::DataMissing || result == UpdateResult::DataTooLarge) {
        outcome.errorId = g_errorId;
    }
    ShowResult(result);
    SetState(Ready);
    return outcome;
}

UpdateResult UpdateController::FindTheHandheld() {
    uint32_t mask = 0;
    const int32_t found = parts.scanner->FindHandhelds(&mask);
    if (found <= 0 || mask == 0) {
        return parts.scanner->LackedRights() ? UpdateResult::NoRights : UpdateResult::NoHandheld;
    }
    if (found >= 2) return UpdateResult::SeveralHandhelds;

    parts.window->ShowMessage(MessageKind::Warning, MessageText(MsgDoNotRemove));
    g_currentDevice = parts.scanner->CreateDevice(LowestDrive(mask));
    return UpdateResult::Updated;
}

// Steps from the data file to the write-back. Destruction order closes the
// device first, then the data file's view, mapping and file.
UpdateResult UpdateController::Transfer() {
    const std::unique_ptr<MappedFile> file = parts.dataFile->OpenDataFile();
    if (!file) return UpdateResult::DataFileError;
    const DataFile data(file->Bytes(), file->Size());
    if (!data.HasUsableHeader()) return UpdateResult::DataFileError;

    if (!g_currentDevice) return UpdateResult::ReadError;
    HandheldDevice& device = *g_currentDevice;
    parts.window->SetHandheldInUse(true);
    const UpdateResult opened = ResultOfOpening(device.OpenIdentified());
    if (opened != UpdateResult::Updated) return opened;
    const DeviceCloser closer(device);

    DeviceImage& image = *parts.image;
    if (!image.ReadImageBlocks(device, *parts.window, kSystemBlockLow, kBlockSize) ||
        !image.ReadImageBlocks(device, *parts.window, kSystemBlockHigh, kBlockSize)) {
        return UpdateResult::ReadError;
    }

    const UpdatePlan& plan = outcome.plan.emplace(
        PlanUpdate(image.Record(kSystemBlockLow), image.Record(kSystemBlockHigh), data));
    ApplyPlan(plan, data, image);
    if (plan.result == UpdateResult::DataMissing || plan.result == UpdateResult::DataTooLarge) {
        g_errorId = plan.errorId;
    }
    // Changed or cut short while the handheld was read: no longer the update that was
    // installed, whatever its look-ups found.
    if (!file->Unchanged()) return UpdateResult::DataFileError;
    if (plan.result != UpdateResult::Updated) return plan.result;
    if (!image.WriteBack(device, *parts.window)) return UpdateResult::WriteError;
    return UpdateResult::Updated;
}

void UpdateController::ShowResult(UpdateResult result) {
    const ResultMessage message = MessageForResult(result);
    if (result == UpdateResult::DataMissing || result == UpdateResult::DataTooLarge) {
        wchar_t text[kResultTextCapacity];
        FormatText(text, kResultTextCapacity, MessageText(message.id), g_errorId);
        parts.window->ShowMessage(message.kind, text);
    } else {
        parts.window->ShowMessage(message.kind, MessageText(message.id));
    }
}
