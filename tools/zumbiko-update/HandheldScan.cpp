#include "HandheldScan.h"

#include <algorithm>
#include <array>
#include <cerrno>

#include "device/HandheldFinder.h"
#include "device/TransferProgress.h"
#include "platform/posix/PosixVolumes.h"

namespace {

constexpr int32_t kProbedDrives =
    HandheldFinder::kLastProbedDrive - HandheldFinder::kFirstProbedDrive + 1;

// The drives' volumes, remembering why each open failed.
class RecordingVolumes final : public VolumeAccess {
public:
    explicit RecordingVolumes(PosixVolumes& inner) : inner(inner) {}

    uint32_t LogicalDrives() override { return inner.LogicalDrives(); }
    std::unique_ptr<SectorChannel> OpenVwin32() override { return nullptr; }
    std::unique_ptr<SectorChannel> OpenVolume(const wchar_t* volumeName) override {
        errno = 0;
        std::unique_ptr<SectorChannel> channel = inner.OpenVolume(volumeName);
        const wchar_t letter = volumeName[4];
        if (!channel && letter >= L'A' && letter <= L'Z') {
            errors[static_cast<size_t>(letter - L'A')] = errno != 0 ? errno : EIO;
        }
        return channel;
    }
    int ErrorOf(int32_t drive) const { return errors[static_cast<size_t>(drive)]; }

private:
    PosixVolumes& inner;
    std::array<int, 26> errors{};
};

class NoProgress final : public TransferProgress {
public:
    void StepProgress(uint32_t) override {}
    void PumpMessages() override {}
};

bool SameDiskFound(const std::vector<VolumeCandidate>& found, const VolumeCandidate& candidate) {
    return !candidate.disk.empty() &&
           std::any_of(found.begin(), found.end(), [&](const VolumeCandidate& handheld) {
               return handheld.disk == candidate.disk;
           });
}

}  // namespace

bool ScanOutcome::AnyDenied() const {
    return std::any_of(unopened.begin(), unopened.end(), [](const UnopenedVolume& volume) {
        return volume.error == EACCES || volume.error == EPERM;
    });
}

// The drive scan probes drive letters C: to X:; more volumes than that go in further rounds.
ScanOutcome ScanVolumes(const std::vector<VolumeCandidate>& candidates, Sleeper& sleeper) {
    ScanOutcome outcome;
    NoProgress progress;
    for (size_t first = 0; first < candidates.size(); first += kProbedDrives) {
        const size_t count = std::min<size_t>(kProbedDrives, candidates.size() - first);
        PosixVolumes volumes;
        for (size_t i = 0; i < count; ++i) {
            volumes.Assign(static_cast<char>('A' + HandheldFinder::kFirstProbedDrive + i),
                           candidates[first + i].path);
        }
        RecordingVolumes recording(volumes);
        HandheldFinder finder({&recording, &sleeper, &progress});
        uint32_t mask = 0;
        finder.FindHandhelds(&mask);
        for (size_t i = 0; i < count; ++i) {
            const int32_t drive = HandheldFinder::kFirstProbedDrive + static_cast<int32_t>(i);
            const VolumeCandidate& candidate = candidates[first + i];
            if ((mask & (uint32_t{1} << drive)) != 0) {
                if (!SameDiskFound(outcome.handhelds, candidate)) {
                    outcome.handhelds.push_back(candidate);
                }
            } else if (recording.ErrorOf(drive) != 0) {
                outcome.unopened.push_back({candidate.path, recording.ErrorOf(drive)});
            }
        }
    }
    return outcome;
}
