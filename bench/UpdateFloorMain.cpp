// Whole updates with the real 100 ms pauses, against the emulated handheld in process or a
// volume file such as one served over FUSE: wall time next to the floor that the protocol
// sets, the pauses plus the volume's own time for the sector operations.
#include <cctype>
#include <cstdio>
#include <cstdlib>
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

const char kUsage[] =
    "usage: bench-floor [--runs N] [--data FILE] [--drive E=PATH]\n"
    "Runs N whole updates (default 5) and prints one floor-run line each, then the medians.\n"
    "Without --drive the handheld is emulated in process, fresh for every run; with it the\n"
    "update goes to that volume file, which must hold a fresh handheld for each run.\n"
    "Without --data the typical data file is used from memory.\n";

constexpr int32_t kDriveE = 4;

}  // namespace

int main(int argc, char** argv) {
    int runs = 5;
    std::string dataPath;
    PosixVolumes driveVolumes;
    bool drives = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--runs" && i + 1 < argc) {
            runs = std::atoi(argv[++i]);
        } else if (argument == "--data" && i + 1 < argc) {
            dataPath = argv[++i];
        } else if (argument == "--drive" && i + 1 < argc) {
            const std::string drive = argv[++i];
            if (drive.size() < 3 || drive[1] != '=' ||
                !driveVolumes.Assign(std::toupper(drive[0]) - 'A', drive.substr(2))) {
                std::fprintf(stderr, "%s", kUsage);
                return 2;
            }
            drives = true;
        } else {
            std::fprintf(stderr, "%s", kUsage);
            return 2;
        }
    }
    if (runs < 1) {
        std::fprintf(stderr, "%s", kUsage);
        return 2;
    }
    BenchDataSource data(dataPath);

    std::vector<double> ratios, walls, floors, lateWakes;
    int failures = 0;
    for (int run = 1; run <= runs; ++run) {
        EmulatedHandheld handheld(BenchHandheld());
        EmulatorVolumes emulated;
        emulated.Attach(kDriveE, &handheld);
        VolumeTally tally;
        ObservedVolumes volumes(drives ? static_cast<VolumeAccess&>(driveVolumes) : emulated,
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
