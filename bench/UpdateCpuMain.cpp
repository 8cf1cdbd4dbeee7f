// The CPU time of whole updates outside the pauses and the emulated handheld: each update
// runs with its pauses counted, not slept, against a fresh handheld in process, and the
// handheld's own share is measured apart by replaying the same sector operations to another
// fresh one.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "device/ObservedVolumes.h"
#include "emulator/EmulatedHandheld.h"
#include "emulator/EmulatorVolumes.h"
#include "support/BenchClock.h"
#include "support/BenchData.h"
#include "support/BenchDataSource.h"
#include "support/BenchSleepers.h"
#include "support/BenchUpdate.h"

namespace {

constexpr int32_t kDriveE = 4;

struct SectorCall {
    bool write = false;
    uint32_t sector = 0;
    uint32_t count = 0;
    std::vector<uint8_t> bytes;  // what was written
};

// Keeps every sector call of a run, with what was written, to be sent again.
void Record(std::vector<SectorCall>& calls, const VolumeEvent& event) {
    if (event.kind == VolumeEvent::Kind::Open) return;
    const bool write = event.kind == VolumeEvent::Kind::Write;
    calls.push_back({write, event.sector, event.count, {}});
    if (write)
        calls.back().bytes.assign(event.bytes, event.bytes + size_t{event.count} * kSectorSize);
}

// The handheld's CPU time for the calls of one update, nothing else.
double ReplayCpuSeconds(const std::vector<SectorCall>& calls) {
    EmulatedHandheld handheld(BenchHandheld());
    EmulatorVolumes volumes;
    volumes.Attach(kDriveE, &handheld);
    std::vector<uint8_t> buffer(size_t{16} * kSectorSize);
    const double start = ThreadCpuSeconds();
    {
        const std::unique_ptr<SectorChannel> channel = volumes.OpenVolume(kDriveE);
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

// CLI11 throws from setting up its options only when they are set up wrongly.
// NOLINTNEXTLINE(bugprone-exception-escape)
int main(int argc, char** argv) {
    CLI::App app(
        "Prints the median CPU time of N updates without the pauses and the emulated handheld's "
        "share.",
        "bench-cpu");
    int runs = 21;
    std::string dataPath;
    app.add_option("--runs", runs, "Updates to run")
        ->check(CLI::PositiveNumber)
        ->capture_default_str();
    app.add_option("--data", dataPath, "Data file (default: the typical one, from memory)");
    CLI11_PARSE(app, argc, argv);
    BenchDataSource data(dataPath);

    // One recorded run gives the calls to replay; it also warms caches and the allocator.
    std::vector<SectorCall> calls;
    {
        EmulatedHandheld handheld(BenchHandheld());
        EmulatorVolumes emulated;
        emulated.Attach(kDriveE, &handheld);
        ObservedVolumes recording(emulated,
                                  [&calls](const VolumeEvent& event) { Record(calls, event); });
        CountingSleeper sleeper;
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
        CountingSleeper sleeper;
        const UpdateTiming timing = TimeOneUpdate(emulated, sleeper, data);
        if (timing.result != UpdateResult::Updated) return 1;
        pauses = static_cast<uint32_t>(sleeper.pauses.size());
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
