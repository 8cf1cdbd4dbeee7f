#include "device/HandheldDevice.h"

HandheldDevice::HandheldDevice(int32_t driveIndex) : driveIndex(driveIndex) {}

HandheldDevice::~HandheldDevice() {
    Close();
}

void HandheldDevice::WriteClosingBlock() {}
bool HandheldDevice::Open() {
    return false;
}
void HandheldDevice::Close() {}
bool HandheldDevice::Identify() {
    return false;
}
int32_t HandheldDevice::GetDriveIndex() {
    return driveIndex;
}
bool HandheldDevice::ReadBlocks(uint32_t, uint32_t, uint8_t*) {
    return false;
}
bool HandheldDevice::WriteBlocks(uint32_t, uint32_t, const uint8_t*) {
    return false;
}
