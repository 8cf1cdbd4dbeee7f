// One whole update, from the scan to the message, over the parts its caller gives it.
#pragma once

#include <cstdint>
#include <optional>

#include "engine/UpdatePlan.h"
#include "engine/UpdateResult.h"

class DataFileSource;
class DeviceImage;
class HandheldScanner;
class RunWindow;

// What a run reaches outside the engine: the drives, the window, the data file, the image.
struct UpdateParts {
    HandheldScanner* scanner = nullptr;
    RunWindow* window = nullptr;
    DataFileSource* dataFile = nullptr;
    DeviceImage* image = nullptr;
};

struct UpdateOutcome {
    UpdateResult result = UpdateResult::Updated;
    // What the run planned, once it had read the handheld with a usable data file.
    std::optional<UpdatePlan> plan;
    // The id that results 9 and 10 report; 0 otherwise.
    uint32_t errorId = 0;
};

// For a caller that runs one update and goes on without the handheld: the device found is
// released at the end, as it reaches into the caller's drives.
UpdateOutcome RunWholeUpdate(const UpdateParts& parts);
