// Runs one update from a console, through the same engine and device code as the program,
// and tells how long it took and what it sent.
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "ConsoleWindow.h"
#include "device/HandheldFinder.h"
#include "device/ObservedVolumes.h"
#include "device/Sleeper.h"
#include "engine/DeviceImage.h"
#include "engine/UpdateController.h"
#include "platform/ProgramDataFile.h"
#include "platform/SystemDevices.h"
#ifndef _WIN32
#include "platform/posix/PosixVolumes.h"
#endif

namespace {

const char kUsage[] =
    "usage: handheld-update [--data FILE] [--german]"
#ifndef _WIN32
    " --drive E=PATH..."
#endif
    "\n"
    "Finds the one handheld among the drives and updates it as the program does. The data\n"
    "file defaults to \"Zumbiko Update.dat\" beside this executable.\n"
#ifndef _WIN32
    "--drive gives a drive letter to a block device or volume file (repeatable).\n"
#endif
    "Exit code: the update's result (0 updated), or 2 for a usage error.\n";

}  // namespace

int main(int argc, char** argv) {
    std::string dataPath;
#ifndef _WIN32
    PosixVolumes systemVolumes;
#endif
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--german") {
            languageIndex = kLanguageGerman;
        } else if (argument == "--data" && i + 1 < argc) {
            dataPath = argv[++i];
#ifndef _WIN32
        } else if (argument == "--drive" && i + 1 < argc) {
            const std::string drive = argv[++i];
            if (drive.size() < 3 || drive[1] != '=' ||
                !systemVolumes.Assign(std::toupper(drive[0]) - 'A', drive.substr(2))) {
                std::fprintf(stderr, "handheld-update: bad drive %s\n%s", drive.c_str(), kUsage);
                return 2;
            }
#endif
        } else {
            std::fprintf(stderr, "%s", kUsage);
            return 2;
        }
    }

    ConsoleWindow window(stdout);
#ifdef _WIN32
    const DeviceSeams system = SystemDeviceSeams(window);
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
    UpdateSeams seams;
    seams.scanner = &finder;
    seams.window = &window;
    seams.dataFile = dataPath.empty() ? static_cast<DataFileSource*>(&besideProgram) : &givenFile;
    seams.image = &image;
    g_updateController.Attach(seams);

    const auto start = std::chrono::steady_clock::now();
    g_updateController.RunUpdate();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    g_currentDevice.Reset();

    const auto result = static_cast<int>(g_updateController.LastResult());
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
