// Finds handhelds among the drive letters and makes device objects for them.
#pragma once

#include "device/DeviceServices.h"
#include "device/HandheldScanner.h"

class HandheldFinder final : public HandheldScanner {
public:
    // Drives C: to X:; A:, B:, Y: and Z: are never probed.
    static constexpr int32_t kFirstProbedDrive = 2;
    static constexpr int32_t kLastProbedDrive = 23;

    explicit HandheldFinder(const DeviceServices& services) : services(services) {}

    int32_t FindHandhelds(uint32_t* mask) override;
    RefPtr<HandheldDevice> CreateDevice(int32_t driveIndex) override;
    bool LackedRights() override { return lackedRights; }

private:
    DeviceServices services;
    bool lackedRights = false;
};
