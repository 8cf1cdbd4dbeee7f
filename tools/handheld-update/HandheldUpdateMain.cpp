// Runs one update from a console, through the same engine and device code as the program,
// and tells how long it took and what it sent.
#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "ConsoleWindow.h"
#include "device/HandheldFinder.h"
#include "device/ObservedVolumes.h"
#include "engine/DeviceImage.h"
#include "engine/UpdateRun.h"
#include "platform/ProgramDataFile.h"
#include "platform/SystemDevices.h"
#include "tests/support/CountingSleeper.h"
#include "tools/CommandLine.h"
#ifndef _WIN32
#include "platform/posix/PosixVolumes.h"
#endif

// CLI11 throws from setting up its options only when they are set up wrongly.
// NOLINTNEXTLINE(bugprone-exception-escape)
int main(int argc, char** argv) {
    CLI::App app(
        "Finds the one handheld among the drives and updates it as the program does, and tells "
        "how long it took and what it sent. Exit code: the update's result (0 updated), or 101 "
        "for a usage error.",
        "handheld-update");
    std::string dataPath;
    bool german = false;
    app.add_option("--data", dataPath,
                   "The update data file (default: \"Zumbiko Update.dat\" beside this program)")
        ->option_text("FILE");
    app.add_flag("--german", german, "The messages in German");
#ifndef _WIN32
    std::vector<std::string> volumePaths;
    app.add_option("--volume", volumePaths,
                   "A block device or volume file to search, as the drives from C: on, in order")
        ->option_text("PATH");
#endif
    constexpr int kUsageError = 101;  // above every update result
    if (const auto stop = ParseCommandLine(app, argc, argv, std::cout, std::cerr, kUsageError)) {
        return *stop;
    }
    if (german) languageIndex = kLanguageGerman;
#ifndef _WIN32
    PosixVolumes systemVolumes;
    for (size_t i = 0; i < volumePaths.size(); ++i) {
        systemVolumes.Assign(HandheldFinder::kFirstProbedDrive + static_cast<int32_t>(i),
                             volumePaths[i]);
    }
#endif

    ConsoleWindow window(stdout);
#ifdef _WIN32
    const DeviceServices system = SystemDeviceServices(window);
    VolumeAccess& volumes = *system.volumes;
    Sleeper& sleeper = *system.sleeper;
#else
    VolumeAccess& volumes = systemVolumes;
    Sleeper& sleeper = SystemSleeper();
#endif
    uint32_t sectorReads = 0;
    uint32_t sectorWrites = 0;
    uint32_t opens = 0;
    ObservedVolumes countingVolumes(volumes, [&](const VolumeEvent& event) {
        sectorReads += event.kind == VolumeEvent::Kind::Read ? 1 : 0;
        sectorWrites += event.kind == VolumeEvent::Kind::Write ? 1 : 0;
        opens += event.kind == VolumeEvent::Kind::Open && event.moved == 0 ? 1 : 0;
    });
    CountingSleeper countingSleeper(&sleeper);

    HandheldFinder finder({&countingVolumes, &countingSleeper, &window});
    ProgramDataFile besideProgram;
    PathDataFile givenFile(dataPath);
    static DeviceImage image;
    DataFileSource* dataFile =
        dataPath.empty() ? static_cast<DataFileSource*>(&besideProgram) : &givenFile;

    const auto start = std::chrono::steady_clock::now();
    const UpdateOutcome outcome = RunWholeUpdate({&finder, &window, dataFile, &image});
    const auto elapsed = std::chrono::steady_clock::now() - start;

    const auto result = static_cast<int>(outcome.result);
    std::printf(
        "result %d in %lld ms: %u sector operations (%u reads, %u writes), %u pauses, %u "
        "channel opens, %u message pumps, busy count %d\n",
        result,
        static_cast<long long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()),
        sectorReads + sectorWrites, sectorReads, sectorWrites,
        static_cast<uint32_t>(countingSleeper.pauses.size()), opens, window.Pumps(),
        window.BusyCount());
    return result;
}
