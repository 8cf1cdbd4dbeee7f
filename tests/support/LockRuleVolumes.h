// Emulated handhelds as the Windows program reaches them on Windows Vista and later: every
// volume through the Windows volume channel and a kernel that enforces the volume lock
// (FakeKernel). The VWIN32 device of the Windows 95 family stays the emulator's own.
#pragma once

#include <memory>

#include "device/VolumeAccess.h"

class EmulatorVolumes;
class FakeKernel;
class Win32Volumes;

class LockRuleVolumes final : public VolumeAccess {
public:
    explicit LockRuleVolumes(EmulatorVolumes& handhelds);
    ~LockRuleVolumes();
    LockRuleVolumes(const LockRuleVolumes&) = delete;
    LockRuleVolumes& operator=(const LockRuleVolumes&) = delete;

    uint32_t PresentVolumes() override;
    std::unique_ptr<SectorChannel> OpenVwin32() override;
    std::unique_ptr<SectorChannel> OpenVolume(int32_t index) override;
    std::unique_ptr<SectorChannel> OpenVolumeToRead(int32_t index) override;
    bool LastOpenDenied() override;
    bool WorthProbing(int32_t index) override;

    FakeKernel& Kernel() { return *kernel; }

private:
    EmulatorVolumes& handhelds;
    std::unique_ptr<FakeKernel> kernel;
    std::unique_ptr<Win32Volumes> windows;
};
