// The platform services a handheld device object reaches, set once at start-up.
#pragma once

class Sleeper;
class TransferProgress;
class VolumeAccess;

struct DeviceSeams {
    VolumeAccess* volumes;
    Sleeper* sleeper;
    TransferProgress* progress;
};

// Devices made without seams of their own use these. Until start-up replaces them: no
// drives, a real sleep, no progress.
extern DeviceSeams g_deviceSeams;
