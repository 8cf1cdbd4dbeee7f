// Where the user is in the flow, and the update run itself.
#pragma once

#include <cstdint>

#include "app/core/RefPtr.h"
#include "device/HandheldDevice.h"
#include "engine/UpdateRun.h"

class UpdateController {
public:
    enum State : int32_t {
        Start = 0,
        ChoosingLanguage = 1,
        Ready = 2,
        UpdateRequested = 3,
        Updating = 4,
    };

    void Attach(const UpdateParts& newParts) { parts = newParts; }
    // Lets go of the parts, and of the handheld found over them.
    void Detach();

    // One idle pass of the main loop.
    void Step();
    void SetState(int32_t kind);
    // The whole update, from the scan to the message; leaves the state at Ready and the
    // handheld found current.
    const UpdateOutcome& RunUpdate();

    int32_t GetState() const { return state; }
    const UpdateOutcome& LastOutcome() const { return outcome; }

private:
    friend UpdateOutcome RunWholeUpdate(const UpdateParts& parts);

    UpdateResult FindTheHandheld();
    UpdateResult Transfer();
    void ShowResult(UpdateResult result);

    UpdateParts parts;
    int32_t state = Start;
    UpdateOutcome outcome;
};

extern UpdateController g_updateController;
// The handheld found by the last run that found exactly one.
extern RefPtr<HandheldDevice> g_currentDevice;
// The resource id reported by results 9 and 10.
extern uint32_t g_errorId;
