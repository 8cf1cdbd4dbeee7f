// Volumes that tell an observer of every open and every sector operation, for the tools,
// benchmarks and tests that count, time or copy what a run sends.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include "device/VolumeAccess.h"

struct VolumeEvent {
    enum class Kind { Open, Read, Write };
    Kind kind = Kind::Open;
    // The volume index; for an open of the VWIN32 device, -1.
    int32_t volume = -1;
    uint32_t sector = 0;
    uint32_t count = 0;
    // The sectors read or written; null for an open.
    const uint8_t* bytes = nullptr;
    // Bytes moved, or -1. An open: 0 when a channel came, -1 when none did, with errno or
    // the system's last error still as the open left it.
    int32_t moved = 0;
    // Spent inside the observed volumes' own call.
    std::chrono::steady_clock::duration took{};
};

class ObservedVolumes final : public VolumeAccess {
public:
    using Observer = std::function<void(const VolumeEvent&)>;

    ObservedVolumes(VolumeAccess& inner, Observer observer)
        : inner(inner), observer(std::move(observer)) {}

    uint32_t PresentVolumes() override { return inner.PresentVolumes(); }
    std::unique_ptr<SectorChannel> OpenVwin32() override;
    std::unique_ptr<SectorChannel> OpenVolume(int32_t index) override;
    std::unique_ptr<SectorChannel> OpenVolumeToRead(int32_t index) override;
    bool LastOpenDenied() override { return inner.LastOpenDenied(); }
    bool WorthProbing(int32_t index) override { return inner.WorthProbing(index); }

private:
    std::unique_ptr<SectorChannel> Observed(std::unique_ptr<SectorChannel> channel, int32_t volume,
                                            std::chrono::steady_clock::time_point start);

    VolumeAccess& inner;
    Observer observer;
};
