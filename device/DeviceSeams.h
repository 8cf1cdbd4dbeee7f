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
// drives, so nothing to pause for or report.
extern DeviceSeams g_deviceSeams;
