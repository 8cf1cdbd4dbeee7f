#include "Updater.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "CheckReport.h"
#include "ConsoleWindow.h"
#include "FoundHandhelds.h"
#include "HandheldScan.h"
#include "MountTable.h"
#include "UpdaterTexts.h"
#include "engine/DeviceImage.h"
#include "engine/UpdateController.h"
#include "platform/ProgramDataFile.h"
#include "platform/SystemDevices.h"
#include "platform/posix/ExecutableDirectory.h"

namespace {

std::vector<VolumeCandidate> Candidates(const UpdaterOptions& options) {
    if (options.device.empty()) return ListRemovableVolumes(options.sysfsRoot, options.devRoot);
    return {{options.device, DiskOfNode(options.sysfsRoot, options.device)}};
}

std::string JoinPaths(const std::vector<VolumeCandidate>& volumes) {
    std::string joined;
    for (const VolumeCandidate& volume : volumes) {
        joined += (joined.empty() ? "" : ", ") + volume.path;
    }
    return joined;
}

// Writing raw sectors under a mounted file system would corrupt it, and the system would
// write its own view back over the update.
bool RefuseIfMounted(const UpdaterOptions& options, const VolumeCandidate& handheld,
                     std::FILE* err) {
    const std::vector<MountEntry> mounts = ReadMounts(options.mountsFile);
    std::vector<VolumeCandidate> volumes = {handheld};
    if (!handheld.disk.empty()) {
        volumes = VolumesOfDisk(options.sysfsRoot, options.devRoot, handheld.disk);
    }
    for (const VolumeCandidate& volume : volumes) {
        const std::string mountPoint = MountPointOf(mounts, volume.path);
        if (mountPoint.empty()) continue;
        Say(err, TxtMounted, volume.path.c_str(), mountPoint.c_str(), volume.path.c_str(),
            mountPoint.c_str());
        return true;
    }
    return false;
}

// Why nothing was found, where the user can do something about it.
void ExplainNothingFound(const UpdaterOptions& options, const ScanOutcome& scan, size_t candidates,
                         std::FILE* err) {
    if (!options.device.empty()) {
        if (scan.unopened.empty()) {
            Say(err, TxtNotAHandheld, options.device.c_str());
        } else {
            Say(err, TxtCannotOpen, options.device.c_str(), std::strerror(scan.unopened[0].error));
        }
    } else if (candidates == 0) {
        Say(err, TxtNoRemovableDrive);
    }
}

void ExplainDenied(const ScanOutcome& scan, std::FILE* err) {
    std::string denied;
    for (const UnopenedVolume& volume : scan.unopened) {
        if (volume.error != EACCES && volume.error != EPERM) continue;
        denied += (denied.empty() ? "" : ", ") + volume.path;
    }
    Say(err, TxtNoPermission, denied.c_str());
}

ConsoleStyle StyleFor(const UpdaterOptions& options, bool terminal) {
    ConsoleStyle style;
    style.verbose = false;
    if (options.check) {
        style.progress = ConsoleStyle::Progress::Hidden;
        style.printMessages = false;
    } else {
        style.progress = terminal ? ConsoleStyle::Progress::Bar : ConsoleStyle::Progress::Lines;
    }
    return style;
}

CheckFindings FindingsOf(const ConsoleWindow& window,
                         const std::vector<VolumeCandidate>& handhelds) {
    CheckFindings findings;
    findings.result = g_updateController.LastResult();
    if (g_updateController.LastPlan()) findings.plan = &*g_updateController.LastPlan();
    findings.message = window.LastMessage();
    if (handhelds.size() == 1) findings.device = handhelds[0].path;
    return findings;
}

}  // namespace

int RunUpdater(const UpdaterOptions& options, std::FILE* out, std::FILE* err, bool terminal) {
    languageIndex = options.german ? kLanguageGerman : kLanguageEnglish;
    const std::string dataPath =
        options.dataFile.empty() ? DefaultDataFilePath() : options.dataFile;
    Sleeper& sleeper = SystemSleeper();

    ConsoleWindow window(out, err, StyleFor(options, terminal));
    const std::vector<VolumeCandidate> candidates = Candidates(options);
    const ScanOutcome scan = ScanVolumes(candidates, sleeper, window);
    if (scan.handhelds.empty()) {
        // The handheld may be among the drives the user may not open.
        if (scan.AnyDenied()) {
            ExplainDenied(scan, err);
            return kExitNoPermission;
        }
    }
    if (scan.handhelds.size() == 1 && RefuseIfMounted(options, scan.handhelds[0], err)) {
        return kExitMounted;
    }

    std::vector<std::string> paths;
    for (const VolumeCandidate& handheld : scan.handhelds) paths.push_back(handheld.path);
    FoundHandhelds scanner(paths, sleeper, window, options.check);
    PathDataFile dataFile(dataPath);
    UpdateSeams seams;
    seams.scanner = &scanner;
    seams.window = &window;
    seams.dataFile = &dataFile;
    seams.image = &g_deviceImage;
    g_updateController.Attach(seams);
    g_updateController.RunUpdate();
    const UpdateResult result = g_updateController.LastResult();

    if (options.check) {
        PrintCheckReport(out, FindingsOf(window, scan.handhelds));
    }
    g_currentDevice.Reset();
    if (result == UpdateResult::NoHandheld) {
        ExplainNothingFound(options, scan, candidates.size(), err);
    }
    if (result == UpdateResult::DataFileError) Say(err, TxtDataFile, dataPath.c_str());
    if (result == UpdateResult::SeveralHandhelds) {
        Say(err, TxtSeveralFound, JoinPaths(scan.handhelds).c_str());
    }
    return static_cast<int>(result);
}
