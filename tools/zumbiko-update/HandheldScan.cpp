#include "HandheldScan.h"

#include <algorithm>
#include <array>
#include <cerrno>

#include "device/HandheldFinder.h"
#include "device/ObservedVolumes.h"
#include "platform/posix/PosixVolumes.h"

namespace {

constexpr int32_t kProbedDrives =
    HandheldFinder::kLastProbedDrive - HandheldFinder::kFirstProbedDrive + 1;

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
ScanOutcome ScanVolumes(const std::vector<VolumeCandidate>& candidates, Sleeper& sleeper,
                        ProgressSink& progress) {
    ScanOutcome outcome;
    for (size_t first = 0; first < candidates.size(); first += kProbedDrives) {
        const size_t count = std::min<size_t>(kProbedDrives, candidates.size() - first);
        PosixVolumes volumes;
        for (size_t i = 0; i < count; ++i) {
            volumes.Assign(HandheldFinder::kFirstProbedDrive + static_cast<int32_t>(i),
                           candidates[first + i].path);
        }
        // Why each open failed: errno, as the open left it.
        std::array<int, PosixVolumes::kVolumes> errors{};
        ObservedVolumes recording(volumes, [&errors](const VolumeEvent& event) {
            if (event.kind == VolumeEvent::Kind::Open && event.moved < 0 && event.volume >= 0) {
                errors[static_cast<size_t>(event.volume)] = errno != 0 ? errno : EIO;
            }
        });
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
            } else if (errors[static_cast<size_t>(drive)] != 0) {
                outcome.unopened.push_back({candidate.path, errors[static_cast<size_t>(drive)]});
            }
        }
    }
    return outcome;
}
