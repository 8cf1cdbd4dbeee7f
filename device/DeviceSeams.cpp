#include "device/DeviceSeams.h"

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

// The real pause belongs to the platform (SystemSleeper); the core stays free of threads.
class NoPause final : public Sleeper {
public:
    void Sleep(uint32_t) override {}
};

class NoProgress final : public TransferProgress {
public:
    void StepProgress(uint32_t) override {}
    void PumpMessages() override {}
};

NoVolumes g_noVolumes;
NoPause g_noPause;
NoProgress g_noProgress;

}  // namespace

DeviceSeams g_deviceSeams = {&g_noVolumes, &g_noPause, &g_noProgress};
