// Counts what a run sends: sector operations on every channel and the turnaround pauses.
#pragma once

#include <cstdint>

#include "device/Sleeper.h"
#include "device/VolumeAccess.h"

struct TransferCounts {
    uint32_t sectorReads = 0;
    uint32_t sectorWrites = 0;
    uint32_t pauses = 0;
    uint32_t opens = 0;
};

class CountingVolumes final : public VolumeAccess {
public:
    CountingVolumes(VolumeAccess& inner, TransferCounts& counts) : inner(inner), counts(counts) {}

    uint32_t LogicalDrives() override { return inner.LogicalDrives(); }
    std::unique_ptr<SectorChannel> OpenVwin32() override;
    std::unique_ptr<SectorChannel> OpenVolume(const wchar_t* volumeName) override;

private:
    std::unique_ptr<SectorChannel> Counted(std::unique_ptr<SectorChannel> channel);

    VolumeAccess& inner;
    TransferCounts& counts;
};

class CountingSleeper final : public Sleeper {
public:
    CountingSleeper(Sleeper& inner, TransferCounts& counts) : inner(inner), counts(counts) {}
    void Sleep(uint32_t milliseconds) override {
        ++counts.pauses;
        inner.Sleep(milliseconds);
    }

private:
    Sleeper& inner;
    TransferCounts& counts;
};
