// One whole update, from the scan to the result's message, with a window that shows
// nothing and a user who closes every message at once.
#pragma once

#include "engine/UpdateResult.h"

class DataFileSource;
class Sleeper;
class VolumeAccess;

struct UpdateTiming {
    UpdateResult result = UpdateResult::Updated;
    double wallSeconds = 0;
    double cpuSeconds = 0;  // the calling thread's
};

UpdateTiming TimeOneUpdate(VolumeAccess& volumes, Sleeper& sleeper, DataFileSource& dataFile);
