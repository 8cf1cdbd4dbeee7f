// The drives of a Windows system, volume n being drive 'A' + n, and the two ways to a
// handheld's sectors.
#pragma once

#include "device/VolumeAccess.h"
#include "platform/win32/Win32Api.h"

constexpr DWORD kUnbufferedNormal = FILE_FLAG_NO_BUFFERING | FILE_ATTRIBUTE_NORMAL;

class Win32Volumes final : public VolumeAccess {
public:
    explicit Win32Volumes(Win32Api& api) : api(api) {}

    uint32_t PresentVolumes() override;
    std::unique_ptr<SectorChannel> OpenVwin32() override;
    // Drive 'A' + index by its volume name, "\\.\E:".
    std::unique_ptr<SectorChannel> OpenVolume(int32_t index) override;
    std::unique_ptr<SectorChannel> OpenVolumeToRead(int32_t index) override;
    bool LastOpenDenied() override { return lastOpenDenied; }
    // Removable drives and fixed ones on the USB bus, as a handheld presents itself, but never
    // the drive Windows runs from.
    bool WorthProbing(int32_t index) override;

private:
    std::unique_ptr<SectorChannel> OpenNamed(int32_t index, DWORD access);
    bool OnUsbBus(int32_t index);

    Win32Api& api;
    bool lastOpenDenied = false;
};
