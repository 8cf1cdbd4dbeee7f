// The drives of a Windows system, volume n being drive 'A' + n, and the two ways to a
// handheld's sectors.
#pragma once

#include "device/VolumeAccess.h"
#include "platform/win32/Win32Api.h"

constexpr DWORD kUnbufferedNormal = FILE_FLAG_NO_BUFFERING | FILE_ATTRIBUTE_NORMAL;

class Win32Volumes final : public VolumeAccess {
public:
    explicit Win32Volumes(Win32Api& api) : api(api) {}

    // Without disc drives and network shares: reading a disc drive spins it up or waits for
    // a disc, and neither is ever a handheld.
    uint32_t PresentVolumes() override;
    std::unique_ptr<SectorChannel> OpenVwin32() override;
    // Drive 'A' + index by its volume name, "\\.\E:".
    std::unique_ptr<SectorChannel> OpenVolume(int32_t index) override;

private:
    Win32Api& api;
};
