#include "device/HandheldDevice.h"

#include "device/Mailbox.h"

HandheldDevice::HandheldDevice(int32_t driveIndex) : HandheldDevice(driveIndex, g_deviceSeams) {}

HandheldDevice::HandheldDevice(int32_t driveIndex, const DeviceSeams& seams)
    : driveIndex(driveIndex), seams(seams) {}

// Closes as Close does; a subclass's Close is gone by now.
HandheldDevice::~HandheldDevice() {
    handle.reset();
}

void HandheldDevice::Close() {
    handle.reset();
}

int32_t HandheldDevice::GetDriveIndex() {
    return driveIndex;
}

// The drive letter is only a name: between the scan and this open the user may have pulled
// the handheld and plugged in another drive, which must not receive a single sector.
bool HandheldDevice::OpenIdentified() {
    if (!Open()) return false;
    if (Identify()) return true;
    Close();
    return false;
}

void HandheldDevice::WriteClosingBlock() {
    if (!OpenIdentified()) return;
    const uint8_t zeros[kMemoryBlockSize] = {};
    WriteBlocks(kClosingBlockAddress, kMemoryBlockSize, zeros);
    Close();
}
