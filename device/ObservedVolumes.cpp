#include "device/ObservedVolumes.h"

namespace {

using Clock = std::chrono::steady_clock;

class ObservedChannel final : public SectorChannel {
public:
    ObservedChannel(std::unique_ptr<SectorChannel> inner, const ObservedVolumes::Observer& observer)
        : inner(std::move(inner)), observer(observer) {}

    int32_t ReadSectors(int32_t drive, uint32_t sector, uint32_t count, uint8_t* buffer) override {
        const Clock::time_point start = Clock::now();
        const int32_t moved = inner->ReadSectors(drive, sector, count, buffer);
        Tell(VolumeEvent::Kind::Read, drive, sector, count, buffer, moved, start);
        return moved;
    }
    int32_t WriteSectors(int32_t drive, uint32_t sector, uint32_t count,
                         const uint8_t* buffer) override {
        const Clock::time_point start = Clock::now();
        const int32_t moved = inner->WriteSectors(drive, sector, count, buffer);
        Tell(VolumeEvent::Kind::Write, drive, sector, count, buffer, moved, start);
        return moved;
    }
    VolumeLock LockVolume(int32_t drive) override { return inner->LockVolume(drive); }
    bool UnlockVolume(int32_t drive) override { return inner->UnlockVolume(drive); }

private:
    void Tell(VolumeEvent::Kind kind, int32_t drive, uint32_t sector, uint32_t count,
              const uint8_t* bytes, int32_t moved, Clock::time_point start) const {
        observer({kind, drive, sector, count, bytes, moved, Clock::now() - start});
    }

    std::unique_ptr<SectorChannel> inner;
    const ObservedVolumes::Observer& observer;
};

}  // namespace

std::unique_ptr<SectorChannel> ObservedVolumes::OpenVwin32() {
    const Clock::time_point start = Clock::now();
    return Observed(inner.OpenVwin32(), -1, start);
}

std::unique_ptr<SectorChannel> ObservedVolumes::OpenVolume(int32_t index) {
    const Clock::time_point start = Clock::now();
    return Observed(inner.OpenVolume(index), index, start);
}

std::unique_ptr<SectorChannel> ObservedVolumes::OpenVolumeToRead(int32_t index) {
    const Clock::time_point start = Clock::now();
    return Observed(inner.OpenVolumeToRead(index), index, start);
}

// Nothing between the inner open and the observer may change errno.
std::unique_ptr<SectorChannel> ObservedVolumes::Observed(std::unique_ptr<SectorChannel> channel,
                                                         int32_t volume, Clock::time_point start) {
    const int32_t opened = channel ? 0 : -1;
    observer({VolumeEvent::Kind::Open, volume, 0, 0, nullptr, opened, Clock::now() - start});
    if (!channel) return nullptr;
    return std::make_unique<ObservedChannel>(std::move(channel), observer);
}
