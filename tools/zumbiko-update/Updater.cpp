#include "Updater.h"

#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <optional>
#include <vector>

#include "CheckReport.h"
#include "ConsoleWindow.h"
#include "FoundHandhelds.h"
#include "HandheldScan.h"
#include "MountTable.h"
#include "SignalHold.h"
#include "UpdaterTexts.h"
#include "device/Mailbox.h"
#include "device/ObservedVolumes.h"
#include "engine/DeviceImage.h"
#include "engine/UpdateController.h"
#include "platform/ProgramDataFile.h"
#include "platform/SystemDevices.h"
#include "platform/posix/ExclusiveVolume.h"
#include "platform/posix/ExecutableDirectory.h"

namespace {

constexpr int kReadError = static_cast<int>(UpdateResult::ReadError);

// The data file, read whole when the run is set up: before any handheld is opened, so that
// however long the file takes, it cannot keep a handheld waiting.
class ReadDataFile final : public DataFileSource {
public:
    explicit ReadDataFile(const std::string& path) : path(path) {
        errno = 0;
        file = MapFileReadOnly(path.c_str());
        error = file ? 0 : errno;
        read = file != nullptr;
    }
    std::unique_ptr<MappedFile> OpenDataFile() override { return std::move(file); }

    // Why the run could not use it.
    const char* Reason() const {
        if (read) return UpdaterTextOf(TxtDataUnusable);
        struct stat status {};
        if (lstat(path.c_str(), &status) == 0) {
            if (S_ISLNK(status.st_mode)) return UpdaterTextOf(TxtDataLink);
            if (!S_ISREG(status.st_mode)) return UpdaterTextOf(TxtDataNotRegular);
        }
        return error != 0 ? std::strerror(error) : UpdaterTextOf(TxtDataUnusable);
    }

private:
    std::string path;
    std::unique_ptr<MappedFile> file;
    int error = 0;
    bool read = false;
};

std::vector<VolumeCandidate> Candidates(const UpdaterOptions& options) {
    if (options.device.empty()) return ListRemovableVolumes(options.sysfsRoot, options.devRoot);
    return {{options.device, DiskOfNode(options.sysfsRoot, options.device)}};
}

template <typename Item, typename Name>
std::string JoinNames(const std::vector<Item>& items, Name name) {
    std::string joined;
    for (const Item& item : items) joined += (joined.empty() ? "" : ", ") + name(item);
    return joined;
}

std::string ProbeReason(const ProbeResult& probe) {
    if (probe.verdict == ProbeVerdict::NoAnswer) return "no answer";
    return std::strerror(probe.error);
}

// A handheld that could not be read stops the run here, with an exit code that says why;
// drives that are merely not the handheld do not.
std::optional<int> RefuseUnread(const UpdaterOptions& options, const ScanOutcome& scan,
                                std::FILE* err) {
    if (const std::vector<std::string> denied = scan.Denied(); !denied.empty()) {
        Say(err, TxtNoPermission,
            JoinNames(denied, [](const std::string& path) { return path; }).c_str());
        return kExitNoPermission;
    }
    if (options.device.empty() || scan.unread.empty()) return std::nullopt;
    const char* path = options.device.c_str();
    const ProbeResult& probe = scan.unread[0].probe;
    if (probe.verdict == ProbeVerdict::NoAnswer) {
        Say(err, TxtNoAnswer, path, kProbeSeconds);
        return kReadError;
    }
    if (ClassifyOpenError(probe.error) == OpenFailure::Gone) {
        Say(err, TxtGone, path);
        return kExitGone;
    }
    Say(err, TxtCannotRead, path, std::strerror(probe.error));
    return kReadError;
}

// EBUSY is the kernel's word that something holds the device; the mount table, read only
// here, tells whether that is a mount the user can undo from here.
int RefuseBusy(const UpdaterOptions& options, const std::string& path, std::FILE* err) {
    struct stat status {};
    std::string mountPoint;
    if (stat(path.c_str(), &status) == 0 && S_ISBLK(status.st_mode)) {
        mountPoint = MountPointOf(ReadMounts(kMountInfo), status.st_rdev, options.sysfsRoot);
    }
    if (mountPoint.empty()) {
        Say(err, TxtBusy, path.c_str());
        return kExitBusy;
    }
    Say(err, TxtMounted, path.c_str(), mountPoint.c_str(), ShellQuoted(path).c_str(),
        ShellQuoted(mountPoint).c_str());
    return kExitMounted;
}

// The one open of the handheld for the whole run: identification, update and closing block.
std::optional<int> OpenExclusively(const UpdaterOptions& options, const std::string& path,
                                   ExclusiveVolume& volume, std::FILE* err) {
    const int error = volume.Open(path, FoundHandhelds::kDrive);
    if (error == 0) {
        if (volume.LogicalSectorSize() == kSectorSize) return std::nullopt;
        Say(err, TxtSectorSize, path.c_str(), volume.LogicalSectorSize());
        return kReadError;
    }
    if (error == EBUSY) return RefuseBusy(options, path, err);
    switch (ClassifyOpenError(error)) {
        case OpenFailure::Denied:
            Say(err, TxtNoPermission, path.c_str());
            return kExitNoPermission;
        case OpenFailure::Gone:
            Say(err, TxtGone, path.c_str());
            return kExitGone;
        case OpenFailure::Other:
            break;
    }
    Say(err, TxtCannotOpen, path.c_str(), std::strerror(error));
    return kReadError;
}

// Why nothing was found, where the user can do something about it.
void ExplainNothingFound(const UpdaterOptions& options, const ScanOutcome& scan, size_t candidates,
                         std::FILE* err) {
    if (!options.device.empty()) {
        Say(err, scan.refused.empty() ? TxtNotAHandheld : TxtNotADisk, options.device.c_str());
    } else if (candidates == 0) {
        Say(err, TxtNoRemovableDrive);
    } else if (!scan.unread.empty()) {
        const std::string unread = JoinNames(scan.unread, [](const ProbedVolume& volume) {
            return volume.path + " (" + ProbeReason(volume.probe) + ")";
        });
        Say(err, TxtUnread, unread.c_str());
    }
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

CheckFindings FindingsOf(const ConsoleWindow& window, const std::vector<VolumeCandidate>& handhelds,
                         uint32_t commandsSent) {
    CheckFindings findings;
    findings.result = g_updateController.LastResult();
    if (g_updateController.LastPlan()) findings.plan = &*g_updateController.LastPlan();
    findings.message = window.LastMessage();
    findings.commandsSent = commandsSent;
    if (handhelds.size() == 1) findings.device = handhelds[0].path;
    return findings;
}

std::string SignalName(int signal) {
    const char* abbreviation = sigabbrev_np(signal);
    return abbreviation != nullptr ? std::string("SIG") + abbreviation : std::to_string(signal);
}

}  // namespace

int RunUpdater(const UpdaterOptions& options, std::FILE* out, std::FILE* err, bool terminal) {
    languageIndex = options.german ? kLanguageGerman : kLanguageEnglish;
    const std::string dataPath =
        options.dataFile.empty() ? DefaultDataFilePath() : options.dataFile;
    ReadDataFile dataFile(dataPath);

    const std::vector<VolumeCandidate> candidates = Candidates(options);
    const ScanOutcome scan = ScanVolumes(candidates);
    if (scan.handhelds.empty()) {
        if (const std::optional<int> stop = RefuseUnread(options, scan, err)) return *stop;
    }
    ExclusiveVolume volume;
    if (scan.handhelds.size() == 1) {
        const std::optional<int> stop =
            OpenExclusively(options, scan.handhelds[0].path, volume, err);
        if (stop) return *stop;
    }

    ConsoleWindow window(out, err, StyleFor(options, terminal));
    SignalHold hold;
    window.OnHandheldInUse([&hold](bool inUse) { hold.Hold(inUse); });
    uint32_t commandsSent = 0;
    ObservedVolumes observed(volume, [&commandsSent](const VolumeEvent& event) {
        if (event.kind == VolumeEvent::Kind::Write && event.moved > 0 &&
            event.sector == kCommandSector) {
            ++commandsSent;
        }
    });
    FoundHandhelds scanner(scan.handhelds.size(), observed, SystemSleeper(), window, options.check);
    UpdateSeams seams;
    seams.scanner = &scanner;
    seams.window = &window;
    seams.dataFile = &dataFile;
    seams.image = &g_deviceImage;
    g_updateController.Attach(seams);
    g_updateController.RunUpdate();
    const UpdateResult result = g_updateController.LastResult();
    g_currentDevice.Reset();

    if (options.check) {
        PrintCheckReport(out, FindingsOf(window, scan.handhelds, commandsSent));
    }
    if (result == UpdateResult::NoHandheld) {
        ExplainNothingFound(options, scan, candidates.size(), err);
    }
    if (result == UpdateResult::DataFileError) {
        Say(err, TxtDataFile, dataPath.c_str(), dataFile.Reason());
    }
    if (result == UpdateResult::SeveralHandhelds) {
        const std::string found = JoinNames(
            scan.handhelds, [](const VolumeCandidate& handheld) { return handheld.path; });
        Say(err, TxtSeveralFound, found.c_str());
    }
    if (hold.Taken() != 0) {
        Say(err, TxtInterrupted, SignalName(hold.Taken()).c_str());
        return kExitSignalBase + hold.Taken();
    }
    return static_cast<int>(result);
}
