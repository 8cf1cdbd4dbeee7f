// The platform services a handheld device object reaches, given to it by whoever makes it.
#pragma once

class Sleeper;
class TransferProgress;
class VolumeAccess;

struct DeviceSeams {
    VolumeAccess* volumes = nullptr;
    Sleeper* sleeper = nullptr;
    TransferProgress* progress = nullptr;
};
