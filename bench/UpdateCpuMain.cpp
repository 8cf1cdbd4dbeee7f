// The CPU time of whole updates outside the pauses and the emulated handheld: each update
// runs with its pauses counted, not slept, against a fresh handheld in process, and the
// handheld's own share is measured apart by replaying the same sector operations to another
// fresh one.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "emulator/EmulatedHandheld.h"
#include "emulator/EmulatorVolumes.h"
#include "support/BenchClock.h"
#include "support/BenchData.h"
#include "support/BenchDataSource.h"
#include "support/BenchSleepers.h"
#include "support/BenchUpdate.h"

namespace {

constexpr int32_t kDriveE = 4;
constexpr wchar_t kVolumeE[] = L"\\\\.\\E:";

struct SectorCall {
    bool write = false;
    uint32_t sector = 0;
    uint32_t count = 0;
    std::vector<uint8_t> bytes;  // what was written
};

class RecordingChannel final : public SectorChannel {
public:
    RecordingChannel(std::unique_ptr<SectorChannel> inner, std::vector<SectorCall>& calls)
        : inner(std::move(inner)), calls(calls) {}
    int32_t ReadSectors(int32_t drive, uint32_t sector, uint32_t count, uint8_t* buffer) override {
        calls.push_back({false, sector, count, {}});
        return inner->ReadSectors(drive, sector, count, buffer);
    }
    int32_t WriteSectors(int32_t drive, uint32_t sector, uint32_t count,
                         const uint8_t* buffer) override {
        calls.push_back({true, sector, count, {buffer, buffer + size_t{count} * kSectorSize}});
        return inner->WriteSectors(drive, sector, count, buffer);
    }
    VolumeLock LockVolume(int32_t drive) override { return inner->LockVolume(drive); }
    bool UnlockVolume(int32_t drive) override { return inner->UnlockVolume(drive); }

private:
    std::unique_ptr<SectorChannel> inner;
    std::vector<SectorCall>& calls;
};

class RecordingVolumes final : public VolumeAccess {
public:
    RecordingVolumes(VolumeAccess& inner, std::vector<SectorCall>& calls)
        : inner(inner), calls(calls) {}
    uint32_t LogicalDrives() override { return inner.LogicalDrives(); }
    std::unique_ptr<SectorChannel> OpenVwin32() override { return nullptr; }
    std::unique_ptr<SectorChannel> OpenVolume(const wchar_t* name) override {
        std::unique_ptr<SectorChannel> channel = inner.OpenVolume(name);
        if (!channel) return nullptr;
        return std::make_unique<RecordingChannel>(std::move(channel), calls);
    }

private:
    VolumeAccess& inner;
    std::vector<SectorCall>& calls;
};

// The handheld's CPU time for the calls of one update, nothing else.
double ReplayCpuSeconds(const std::vector<SectorCall>& calls) {
    EmulatedHandheld handheld(BenchHandheld());
    EmulatorVolumes volumes;
    volumes.Attach(kDriveE, &handheld);
    std::vector<uint8_t> buffer(size_t{16} * kSectorSize);
    const double start = ThreadCpuSeconds();
    {
        const std::unique_ptr<SectorChannel> channel = volumes.OpenVolume(kVolumeE);
        for (const SectorCall& call : calls) {
            if (call.write) {
                channel->WriteSectors(kDriveE, call.sector, call.count, call.bytes.data());
            } else {
                buffer.resize(size_t{call.count} * kSectorSize);
                channel->ReadSectors(kDriveE, call.sector, call.count, buffer.data());
            }
        }
    }
    return ThreadCpuSeconds() - start;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 21;
    std::string dataPath;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--runs" && i + 1 < argc) {
            runs = std::atoi(argv[++i]);
        } else if (argument == "--data" && i + 1 < argc) {
            dataPath = argv[++i];
        } else {
            std::fprintf(stderr,
                         "usage: bench-cpu [--runs N] [--data FILE]\n"
                         "Prints the median CPU time of N updates (default 21) without the "
                         "pauses and the emulated handheld's share.\n");
            return 2;
        }
    }
    BenchDataSource data(dataPath);

    // One recorded run gives the calls to replay; it also warms caches and the allocator.
    std::vector<SectorCall> calls;
    {
        EmulatedHandheld handheld(BenchHandheld());
        EmulatorVolumes emulated;
        emulated.Attach(kDriveE, &handheld);
        RecordingVolumes recording(emulated, calls);
        NoPauseSleeper sleeper;
        if (TimeOneUpdate(recording, sleeper, data).result != UpdateResult::Updated) {
            std::fprintf(stderr, "bench-cpu: the update did not succeed\n");
            return 1;
        }
    }

    std::vector<double> totals, handhelds, owns;
    uint32_t pauses = 0;
    for (int run = 0; run < runs; ++run) {
        EmulatedHandheld handheld(BenchHandheld());
        EmulatorVolumes emulated;
        emulated.Attach(kDriveE, &handheld);
        NoPauseSleeper sleeper;
        const UpdateTiming timing = TimeOneUpdate(emulated, sleeper, data);
        if (timing.result != UpdateResult::Updated) return 1;
        pauses = sleeper.pauses;
        const double handheldCpu = ReplayCpuSeconds(calls);
        totals.push_back(timing.cpuSeconds);
        handhelds.push_back(handheldCpu);
        owns.push_back(timing.cpuSeconds - handheldCpu);
    }
    std::printf(
        "cpu-median runs=%d calls=%zu pauses=%u total=%.6f handheld=%.6f own=%.6f "
        "own-min=%.6f own-max=%.6f\n",
        runs, calls.size(), pauses, Median(totals), Median(handhelds), Median(owns),
        *std::min_element(owns.begin(), owns.end()), *std::max_element(owns.begin(), owns.end()));
    return 0;
}
