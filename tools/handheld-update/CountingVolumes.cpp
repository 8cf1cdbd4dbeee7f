#include "CountingVolumes.h"

namespace {

class CountingChannel final : public SectorChannel {
public:
    CountingChannel(std::unique_ptr<SectorChannel> inner, TransferCounts& counts)
        : inner(std::move(inner)), counts(counts) {}

    int32_t ReadSectors(int32_t drive, uint32_t sector, uint32_t count, uint8_t* buffer) override {
        ++counts.sectorReads;
        return inner->ReadSectors(drive, sector, count, buffer);
    }
    int32_t WriteSectors(int32_t drive, uint32_t sector, uint32_t count,
                         const uint8_t* buffer) override {
        ++counts.sectorWrites;
        return inner->WriteSectors(drive, sector, count, buffer);
    }
    VolumeLock LockVolume(int32_t drive) override { return inner->LockVolume(drive); }
    bool UnlockVolume(int32_t drive) override { return inner->UnlockVolume(drive); }

private:
    std::unique_ptr<SectorChannel> inner;
    TransferCounts& counts;
};

}  // namespace

std::unique_ptr<SectorChannel> CountingVolumes::Counted(std::unique_ptr<SectorChannel> channel) {
    if (!channel) return nullptr;
    ++counts.opens;
    return std::make_unique<CountingChannel>(std::move(channel), counts);
}

std::unique_ptr<SectorChannel> CountingVolumes::OpenVwin32() {
    return Counted(inner.OpenVwin32());
}

std::unique_ptr<SectorChannel> CountingVolumes::OpenVolume(const wchar_t* volumeName) {
    return Counted(inner.OpenVolume(volumeName));
}
