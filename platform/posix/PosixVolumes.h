// Block devices or volume files at volume indices, for the native build.
#pragma once

#include <array>
#include <string>

#include "device/VolumeAccess.h"

class PosixVolumes final : public VolumeAccess {
public:
    static constexpr int32_t kVolumes = 32;

    // False for an index outside 0 to 31.
    bool Assign(int32_t index, const std::string& path);

    uint32_t PresentVolumes() override;
    std::unique_ptr<SectorChannel> OpenVwin32() override { return nullptr; }
    std::unique_ptr<SectorChannel> OpenVolume(int32_t index) override;

private:
    std::array<std::string, kVolumes> paths;
};
