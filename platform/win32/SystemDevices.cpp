#include "platform/SystemDevices.h"

#include "platform/win32/Win32Sleeper.h"
#include "platform/win32/Win32Volumes.h"

DeviceSeams SystemDeviceSeams(TransferProgress& progress) {
    static Win32Volumes volumes(SystemApi());
    static Win32Sleeper sleeper(SystemApi());
    return {&volumes, &sleeper, &progress};
}
