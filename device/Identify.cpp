// How HandheldDevice recognises a handheld by its volume label.
#include <cstring>

#include "device/HandheldDevice.h"
#include "device/Mailbox.h"

// The zero byte is part of the text: a label padded with a space is another volume.
bool CarriesIdentification(const uint8_t* sector, size_t size) {
    return size >= kIdentificationOffset + kIdentificationBytes &&
           std::memcmp(sector + kIdentificationOffset, kIdentificationText, kIdentificationBytes) ==
               0;
}

bool HandheldDevice::Identify() {
    if (!handle) return false;
    alignas(kSectorSize) uint8_t bootSector[kSectorSize] = {};
    if (ReadSectors(0, 1, bootSector) <= 0) return false;
    return CarriesIdentification(bootSector, sizeof bootSector);
}
