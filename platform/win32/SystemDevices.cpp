#include "platform/SystemDevices.h"

#include "platform/win32/Win32Sleeper.h"
#include "platform/win32/Win32Volumes.h"

Sleeper& SystemSleeper() {
    static Win32Sleeper sleeper(SystemApi());
    return sleeper;
}

DeviceServices SystemDeviceServices(ProgressSink& progress) {
    static Win32Volumes volumes(SystemApi());
    return {&volumes, &SystemSleeper(), &progress};
}
