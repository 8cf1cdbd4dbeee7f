// Whole updates with the real 100 ms pauses, against the emulated handheld in process or a
// volume file such as one served over FUSE: wall time next to the floor that the protocol
// sets, the pauses plus the volume's own time for the sector operations.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "device/ObservedVolumes.h"
#include "emulator/EmulatedHandheld.h"
#include "emulator/EmulatorVolumes.h"
#include "platform/posix/PosixVolumes.h"
#include "support/BenchClock.h"
#include "support/BenchData.h"
#include "support/BenchDataSource.h"
#include "support/BenchSleepers.h"
#include "support/BenchUpdate.h"
#include "support/VolumeTally.h"

namespace {

constexpr int32_t kDriveE = 4;

}  // namespace

// CLI11 throws from setting up its options only when they are set up wrongly.
// NOLINTNEXTLINE(bugprone-exception-escape)
int main(int argc, char** argv) {
    CLI::App app(
        "Runs N whole updates and prints one floor-run line each, then the medians. Without "
        "--volume the handheld is emulated in process, fresh for every run; with it the update "
        "goes to that volume file as drive E:, which must hold a fresh handheld for each run.",
        "bench-floor");
    int runs = 5;
    std::string dataPath;
    std::string volumePath;
    app.add_option("--runs", runs, "Updates to run")
        ->check(CLI::PositiveNumber)
        ->capture_default_str();
    app.add_option("--data", dataPath, "Data file (default: the typical one, from memory)");
    app.add_option("--volume", volumePath, "The handheld's volume file");
    CLI11_PARSE(app, argc, argv);
    PosixVolumes served;
    served.Assign(kDriveE, volumePath);
    BenchDataSource data(dataPath);

    std::vector<double> ratios, walls, floors, lateWakes;
    int failures = 0;
    for (int run = 1; run <= runs; ++run) {
        EmulatedHandheld handheld(BenchHandheld());
        EmulatorVolumes emulated;
        emulated.Attach(kDriveE, &handheld);
        VolumeTally tally;
        ObservedVolumes volumes(volumePath.empty() ? static_cast<VolumeAccess&>(emulated) : served,
                                [&tally](const VolumeEvent& event) { tally.Note(event); });
        PauseSleeper sleeper;
        const UpdateTiming timing = TimeOneUpdate(volumes, sleeper, data);

        const double pauses = static_cast<double>(sleeper.askedMilliseconds) / 1000;
        const double floor = pauses + tally.insideSeconds;
        const int result = static_cast<int>(timing.result);
        if (result != 0) ++failures;
        std::printf(
            "floor-run run=%d result=%d wall=%.6f pauses=%u pause=%.3f slept=%.6f volume=%.6f "
            "ops=%u bytes=%llu opens=%u ratio=%.4f kinds=%s\n",
            run, result, timing.wallSeconds, sleeper.pauses, pauses, sleeper.sleptSeconds,
            tally.insideSeconds, tally.Count(), static_cast<unsigned long long>(tally.bytes),
            tally.opens, timing.wallSeconds / floor, tally.Histogram().c_str());
        walls.push_back(timing.wallSeconds);
        floors.push_back(floor);
        ratios.push_back(timing.wallSeconds / floor);
        lateWakes.push_back(sleeper.sleptSeconds - pauses);
    }
    std::printf("floor-median runs=%d failed=%d wall=%.6f floor=%.6f ratio=%.4f late-wake=%.6f\n",
                runs, failures, Median(walls), Median(floors), Median(ratios), Median(lateWakes));
    return failures == 0 ? 0 : 1;
}
