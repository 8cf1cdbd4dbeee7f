// Whole updates from a large data file and from a small one, taken in turns so that both
// meet the same load. Mapped, nothing is parsed ahead, so the size should not show; read
// whole, the read is what shows.
#include <CLI/CLI.hpp>
#include <cstdio>
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

template <typename Pauses>
UpdateTiming UpdateFrom(DataFileSource& data) {
    EmulatedHandheld handheld(BenchHandheld());
    EmulatorVolumes volumes;
    volumes.Attach(kDriveE, &handheld);
    Pauses sleeper;
    return TimeOneUpdate(volumes, sleeper, data);
}

}  // namespace

// CLI11 throws from setting up its options only when they are set up wrongly.
// NOLINTNEXTLINE(bugprone-exception-escape)
int main(int argc, char** argv) {
    CLI::App app(
        "Updates from each data file in turn, N times each, with the real pauses and again "
        "without them; prints the medians. The files are read whole, as the native build does, "
        "or with --mapped mapped as the Windows program does.",
        "bench-data-size");
    int runs = 5;
    bool mapped = false;
    std::vector<std::string> paths;
    app.add_option("--runs", runs, "Updates from each file")
        ->check(CLI::PositiveNumber)
        ->capture_default_str();
    app.add_flag("--mapped", mapped, "Map the files instead of reading them whole");
    app.add_option("files", paths, "The large data file, then the small one")
        ->required()
        ->expected(2);
    CLI11_PARSE(app, argc, argv);
    BenchDataSource large(paths[0], mapped), small(paths[1], mapped);

    std::vector<double> largeWalls, smallWalls, ratios, largeWork, smallWork;
    int failures = 0;
    for (int run = 0; run < runs; ++run) {
        // Alternate which goes first, so that neither always follows the other.
        const bool largeFirst = run % 2 == 0;
        UpdateTiming first = UpdateFrom<PauseSleeper>(largeFirst ? large : small);
        UpdateTiming second = UpdateFrom<PauseSleeper>(largeFirst ? small : large);
        const UpdateTiming& fromLarge = largeFirst ? first : second;
        const UpdateTiming& fromSmall = largeFirst ? second : first;
        failures += (fromLarge.result != UpdateResult::Updated) +
                    (fromSmall.result != UpdateResult::Updated);
        largeWalls.push_back(fromLarge.wallSeconds);
        smallWalls.push_back(fromSmall.wallSeconds);
        ratios.push_back(fromLarge.wallSeconds / fromSmall.wallSeconds);
        std::printf("size-run run=%d large=%.6f small=%.6f ratio=%.4f\n", run + 1,
                    fromLarge.wallSeconds, fromSmall.wallSeconds,
                    fromLarge.wallSeconds / fromSmall.wallSeconds);

        largeWork.push_back(UpdateFrom<CountingSleeper>(large).wallSeconds);
        smallWork.push_back(UpdateFrom<CountingSleeper>(small).wallSeconds);
    }
    std::printf("size-median runs=%d failed=%d large=%.6f small=%.6f ratio=%.4f\n", runs, failures,
                Median(largeWalls), Median(smallWalls), Median(ratios));
    std::printf("size-work large=%.6f small=%.6f\n", Median(largeWork), Median(smallWork));
    return failures == 0 ? 0 : 1;
}
