#include "MeasuredVolumes.h"

#include "BenchClock.h"

namespace {

class MeasuredChannel final : public SectorChannel {
public:
    MeasuredChannel(std::unique_ptr<SectorChannel> inner, VolumeTally& tally)
        : inner(std::move(inner)), tally(tally) {}

    int32_t ReadSectors(int32_t drive, uint32_t sector, uint32_t count, uint8_t* buffer) override {
        const double start = WallSeconds();
        const int32_t moved = inner->ReadSectors(drive, sector, count, buffer);
        Note(false, count, moved, start);
        return moved;
    }
    int32_t WriteSectors(int32_t drive, uint32_t sector, uint32_t count,
                         const uint8_t* buffer) override {
        const double start = WallSeconds();
        const int32_t moved = inner->WriteSectors(drive, sector, count, buffer);
        Note(true, count, moved, start);
        return moved;
    }
    VolumeLock LockVolume(int32_t drive) override { return inner->LockVolume(drive); }
    bool UnlockVolume(int32_t drive) override { return inner->UnlockVolume(drive); }

private:
    void Note(bool write, uint32_t count, int32_t moved, double start) {
        tally.insideSeconds += WallSeconds() - start;
        ++tally.operations[{write, count}];
        if (moved > 0) tally.bytes += static_cast<uint32_t>(moved);
    }

    std::unique_ptr<SectorChannel> inner;
    VolumeTally& tally;
};

}  // namespace

uint32_t VolumeTally::Count() const {
    uint32_t total = 0;
    for (const auto& [kind, n] : operations) total += n;
    return total;
}

std::string VolumeTally::Histogram() const {
    std::string text;
    for (const auto& [kind, n] : operations) {
        if (!text.empty()) text += ' ';
        text += (kind.first ? "write:" : "read:") + std::to_string(kind.second) + "=" +
                std::to_string(n);
    }
    return text;
}

std::unique_ptr<SectorChannel> MeasuredVolumes::Measured(std::unique_ptr<SectorChannel> channel) {
    if (!channel) return nullptr;
    ++tally.opens;
    return std::make_unique<MeasuredChannel>(std::move(channel), tally);
}

std::unique_ptr<SectorChannel> MeasuredVolumes::OpenVwin32() {
    return Measured(inner.OpenVwin32());
}

std::unique_ptr<SectorChannel> MeasuredVolumes::OpenVolume(const wchar_t* volumeName) {
    return Measured(inner.OpenVolume(volumeName));
}
