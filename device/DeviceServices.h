// The platform services a handheld device object reaches, given to it by whoever makes it.
#pragma once

class ProgressSink;
class Sleeper;
class VolumeAccess;

struct DeviceServices {
    VolumeAccess* volumes;
    Sleeper* sleeper;
    ProgressSink* progress;
};
