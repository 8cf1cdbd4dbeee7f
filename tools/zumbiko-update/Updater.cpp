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
#include "HandheldOpen.h"
#include "HandheldScan.h"
#include "SignalHold.h"
#include "UpdaterTexts.h"
#include "device/Mailbox.h"
#include "device/ObservedVolumes.h"
#include "engine/DataFile.h"
#include "engine/DeviceImage.h"
#include "engine/UpdateRun.h"
#include "platform/ProgramDataFile.h"
#include "platform/SystemDevices.h"
#include "platform/posix/ExclusiveVolume.h"
#include "platform/posix/ExecutableDirectory.h"
#include "ui/core/MessageTable.h"

namespace {

constexpr int kReadError = static_cast<int>(UpdateResult::ReadError);

// The data file, read whole when the run is set up: before any drive is looked at, so that
// however long the file takes, it cannot keep a handheld waiting, and a file no update can
// use touches no drive.
class ReadDataFile final : public DataFileSource {
public:
    explicit ReadDataFile(const std::string& path) : path(path) {
        errno = 0;
        file = MapFileReadOnly(path.c_str());
        error = file ? 0 : errno;
        read = file != nullptr;
        if (file) {
            const DataFile data(file->Bytes(), file->Size());
            headed = data.HasHeader();
            if (headed) version = data.DataVersion();
            usable = data.HasUsableHeader();
        }
    }
    std::unique_ptr<MappedFile> OpenDataFile() override { return std::move(file); }
    bool Usable() const { return usable; }

    // Why the run could not use it.
    std::string Reason() const {
        if (headed && !usable && (version < kLowestDataVersion || version > kHighestDataVersion)) {
            char text[160];
            std::snprintf(text, sizeof text, UpdaterTextOf(TxtDataVersion), version);
            return text;
        }
        if (read) return UpdaterTextOf(TxtDataUnusable);
        if (error == EFBIG) return UpdaterTextOf(TxtDataTooLarge);
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
    bool usable = false;
    bool headed = false;
    uint32_t version = 0;
};

std::vector<VolumeCandidate> Candidates(const UpdaterOptions& options) {
    if (options.device.empty()) return ListRemovableVolumes(options.sysfsRoot, options.devRoot);
    return {{options.device, DiskOfNode(options.sysfsRoot, options.device), {}}};
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

CheckFindings FindingsOf(const UpdateOutcome& outcome, const ConsoleWindow& window,
                         const std::vector<VolumeCandidate>& handhelds, uint32_t commandsSent) {
    CheckFindings findings;
    findings.result = outcome.result;
    if (outcome.plan) findings.plan = &*outcome.plan;
    findings.message = window.LastMessage();
    findings.commandsSent = commandsSent;
    if (handhelds.size() == 1) findings.device = handhelds[0].path;
    return findings;
}

// Whether the two streams write into one file, as after 2>&1: then one copy is enough.
bool SameFile(std::FILE* a, std::FILE* b) {
    struct stat first {};
    struct stat second {};
    return a == b || (fstat(fileno(a), &first) == 0 && fstat(fileno(b), &second) == 0 &&
                      first.st_dev == second.st_dev && first.st_ino == second.st_ino);
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
    if (!dataFile.Usable()) {
        ConsoleStyle style;
        style.verbose = false;
        ConsoleWindow(out, err, style)
            .ShowMessage(MessageKind::Error, MessageText(MsgDataFileError));
        Say(err, TxtDataFile, dataPath.c_str(), dataFile.Reason().c_str());
        return static_cast<int>(UpdateResult::DataFileError);
    }

    const std::vector<VolumeCandidate> candidates = Candidates(options);
    const ScanOutcome scan = ScanVolumes(candidates);
    if (scan.handhelds.empty()) {
        if (const std::optional<int> stop = RefuseUnread(options, scan, err)) return *stop;
    }
    ExclusiveVolume volume;
    if (scan.handhelds.size() == 1) {
        const std::optional<int> stop = OpenFoundHandheld(options, scan.handhelds[0], volume, err);
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
    const UpdateOutcome outcome = RunWholeUpdate({&scanner, &window, &dataFile, &g_deviceImage});
    const UpdateResult result = outcome.result;

    if (options.check) {
        PrintCheckReport(out, FindingsOf(outcome, window, scan.handhelds, commandsSent));
    }
    if (result == UpdateResult::NoHandheld) {
        ExplainNothingFound(options, scan, candidates.size(), err);
    }
    if (result == UpdateResult::DataFileError) {
        Say(err, TxtDataFile, dataPath.c_str(), dataFile.Reason().c_str());
    }
    if (result == UpdateResult::SeveralHandhelds) {
        const std::string found = JoinNames(
            scan.handhelds, [](const VolumeCandidate& handheld) { return handheld.path; });
        Say(err, TxtSeveralFound, found.c_str());
    }
    // A pipe's reader may leave before the result comes (zumbiko-update | head -n 1): off a
    // terminal, the result goes to standard error too, unless it went there already.
    if (!terminal && window.LastKind() != MessageKind::Error && !window.LastMessage().empty() &&
        !SameFile(out, err)) {
        std::fprintf(err, "%s\n", window.LastMessage().c_str());
        std::fflush(err);
    }
    if (hold.Taken() != 0) {
        Say(err, TxtInterrupted, SignalName(hold.Taken()).c_str());
        return kExitSignalBase + hold.Taken();
    }
    return static_cast<int>(result);
}
