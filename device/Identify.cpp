// How HandheldDevice recognises a handheld by its volume label.
#include <cstring>

#include "device/HandheldDevice.h"
#include "device/Mailbox.h"

// The zero byte is part of the text: a label padded with a space is another volume.
bool HandheldDevice::Identify() {
    if (!handle) return false;
    alignas(kSectorSize) uint8_t bootSector[kSectorSize] = {};
    if (ReadSectors(0, 1, bootSector) <= 0) return false;
    return std::memcmp(bootSector + kIdentificationOffset, kIdentificationText,
                       kIdentificationBytes) == 0;
}
