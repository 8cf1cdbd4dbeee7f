// Finds the attached handhelds and makes the device object for one of them.
#pragma once

#include <cstdint>

#include "app/core/RefPtr.h"
#include "device/HandheldDevice.h"

class HandheldScanner {
public:
    // The number of handhelds found; bit d of *mask is set for each drive d (0 = A:) holding one.
    virtual int32_t FindHandhelds(uint32_t* mask) = 0;
    virtual RefPtr<HandheldDevice> CreateDevice(int32_t driveIndex) = 0;
    // Whether the last scan found nothing because every drive that could not be opened was
    // refused for lack of rights, as a limited account finds them.
    virtual bool LackedRights() { return false; }

protected:
    ~HandheldScanner() = default;
};
