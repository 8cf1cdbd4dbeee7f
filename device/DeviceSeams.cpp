#include "device/DeviceSeams.h"

#include <chrono>
#include <thread>

#include "device/Sleeper.h"
#include "device/TransferProgress.h"
#include "device/VolumeAccess.h"

namespace {

class NoVolumes final : public VolumeAccess {
public:
    uint32_t LogicalDrives() override { return 0; }
    std::unique_ptr<SectorChannel> OpenVwin32() override { return nullptr; }
    std::unique_ptr<SectorChannel> OpenVolume(const wchar_t*) override { return nullptr; }
};

class ThreadSleeper final : public Sleeper {
public:
    void Sleep(uint32_t milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
};

class NoProgress final : public TransferProgress {
public:
    void StepProgress(uint32_t) override {}
    void PumpMessages() override {}
};

NoVolumes g_noVolumes;
ThreadSleeper g_threadSleeper;
NoProgress g_noProgress;

}  // namespace

DeviceSeams g_deviceSeams = {&g_noVolumes, &g_threadSleeper, &g_noProgress};
