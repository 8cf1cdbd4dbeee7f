// Where the user is in the flow, and the update run itself.
#pragma once

#include <cstdint>
#include <optional>

#include "app/core/RefPtr.h"
#include "device/HandheldDevice.h"
#include "engine/UpdatePlan.h"
#include "engine/UpdateResult.h"

class DataFileSource;
class DeviceImage;
class HandheldScanner;
class RunWindow;

// Everything outside the engine that a run reaches.
struct UpdateSeams {
    HandheldScanner* scanner = nullptr;
    RunWindow* window = nullptr;
    DataFileSource* dataFile = nullptr;
    DeviceImage* image = nullptr;
};

class UpdateController {
public:
    enum State : int32_t {
        Start = 0,
        ChoosingLanguage = 1,
        Ready = 2,
        UpdateRequested = 3,
        Updating = 4,
    };

    void Attach(const UpdateSeams& newSeams) { seams = newSeams; }

    // One idle pass of the main loop.
    void Step();
    void SetState(int32_t kind);
    // The whole update, from the scan to the message; leaves the state at Ready.
    void RunUpdate();

    int32_t GetState() const { return state; }
    UpdateResult LastResult() const { return lastResult; }
    // What the last run planned, once it had read the handheld with a usable data file.
    const std::optional<UpdatePlan>& LastPlan() const { return lastPlan; }

private:
    UpdateResult FindTheHandheld();
    UpdateResult Transfer();
    void ShowResult(UpdateResult result);

    UpdateSeams seams;
    int32_t state = Start;
    UpdateResult lastResult = UpdateResult::Updated;
    std::optional<UpdatePlan> lastPlan;
};

extern UpdateController g_updateController;
// The handheld found by the last run that found exactly one.
extern RefPtr<HandheldDevice> g_currentDevice;
// The resource id reported by results 9 and 10.
extern uint32_t g_errorId;
