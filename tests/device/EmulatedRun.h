// One whole update, controller and device together, against one emulated handheld in
// process: what the fault matrix and the fuzz targets run, and what they look at after.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "emulator/EmulatedHandheld.h"
#include "engine/DeviceImage.h"
#include "engine/UpdateResult.h"
#include "tests/support/EmulatedSystem.h"

struct RunOutcome {
    UpdateResult result = UpdateResult::Updated;
    int32_t state = 0;
    // The current device's channel after the run, and every channel the volumes handed out.
    bool deviceLeftOpen = false;
    int32_t openChannels = 0;
    int32_t busyCount = 0;
    // Messages shown: the warning not to unplug, then the result's.
    std::vector<MessageKind> messages;
};

class EmulatedRun {
public:
    // The handheld sits on E:; vwin32 serves it through the VWIN32 channel, else its volume.
    EmulatedRun(const HandheldOptions& options, bool vwin32);
    ~EmulatedRun();
    EmulatedRun(const EmulatedRun&) = delete;
    EmulatedRun& operator=(const EmulatedRun&) = delete;

    // Runs from the Update button to the result's message. The data file holds a copy of
    // these bytes, sized exactly, so that a read past its end shows under ASan; no bytes
    // is a file that cannot be mapped.
    RunOutcome Run(const uint8_t* data, size_t size);
    // The handheld unplugged and plugged in again: its memory as it was left, its faults gone.
    // The program and its image stay, as they do for a user who presses Update again.
    void Reconnect();

    EmulatedSystem& System() { return seams; }
    EmulatedHandheld& Handheld() { return *handheld; }
    const EmulatorRecord& Record() const { return handheld->Record(); }
    std::vector<uint8_t> Memory();

private:
    EmulatedSystem seams;
    std::unique_ptr<EmulatedHandheld> handheld;
    TestDataFile dataFile;
    std::unique_ptr<DeviceImage> image = std::make_unique<DeviceImage>();
};
