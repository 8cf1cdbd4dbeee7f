// Wraps the drives of a run to count its sector operations by kind and to time the volume's
// own share: the wall time spent inside the inner channel's calls.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "device/VolumeAccess.h"

struct VolumeTally {
    // Operations by direction and sector count: what a replay must send again.
    std::map<std::pair<bool, uint32_t>, uint32_t> operations;
    uint64_t bytes = 0;
    uint32_t opens = 0;
    double insideSeconds = 0;

    uint32_t Count() const;
    // "read:1=1 read:16=2 write:1=14 write:16=256": direction:sectors=operations.
    std::string Histogram() const;
};

class MeasuredVolumes final : public VolumeAccess {
public:
    MeasuredVolumes(VolumeAccess& inner, VolumeTally& tally) : inner(inner), tally(tally) {}

    uint32_t LogicalDrives() override { return inner.LogicalDrives(); }
    std::unique_ptr<SectorChannel> OpenVwin32() override;
    std::unique_ptr<SectorChannel> OpenVolume(const wchar_t* volumeName) override;

private:
    std::unique_ptr<SectorChannel> Measured(std::unique_ptr<SectorChannel> channel);

    VolumeAccess& inner;
    VolumeTally& tally;
};
