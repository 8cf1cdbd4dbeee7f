// Drive letters given to block devices or files, for the native build.
#pragma once

#include <array>
#include <string>

#include "device/VolumeAccess.h"

class PosixVolumes final : public VolumeAccess {
public:
    // False for a letter outside A: to Z:.
    bool Assign(char letter, const std::string& path);

    uint32_t LogicalDrives() override;
    std::unique_ptr<SectorChannel> OpenVwin32() override { return nullptr; }
    // "\\.\E:" opens the path given to E:.
    std::unique_ptr<SectorChannel> OpenVolume(const wchar_t* volumeName) override;

private:
    std::array<std::string, 26> paths;
};
