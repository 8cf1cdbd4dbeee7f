#include "HandheldScan.h"

#include <algorithm>
#include <cerrno>

namespace {

bool SameDiskFound(const std::vector<VolumeCandidate>& found, const VolumeCandidate& candidate) {
    return !candidate.disk.empty() &&
           std::any_of(found.begin(), found.end(), [&](const VolumeCandidate& handheld) {
               return handheld.disk == candidate.disk;
           });
}

}  // namespace

OpenFailure ClassifyOpenError(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return OpenFailure::Denied;
        case ENOENT:
        case ENXIO:
        case ENODEV:
        case ENOMEDIUM:
            return OpenFailure::Gone;
        default:
            return OpenFailure::Other;
    }
}

std::vector<std::string> ScanOutcome::Denied() const {
    std::vector<std::string> denied;
    for (const ProbedVolume& volume : unread) {
        if (volume.probe.verdict == ProbeVerdict::Unreadable &&
            ClassifyOpenError(volume.probe.error) == OpenFailure::Denied) {
            denied.push_back(volume.path);
        }
    }
    return denied;
}

ScanOutcome ScanVolumes(const std::vector<VolumeCandidate>& candidates) {
    ScanOutcome outcome;
    for (const VolumeCandidate& candidate : candidates) {
        FileIdentity identity;
        const ProbeResult probe = ProbeBootSector(candidate.path.c_str(), kProbeSeconds, &identity);
        switch (probe.verdict) {
            case ProbeVerdict::Handheld:
                if (!SameDiskFound(outcome.handhelds, candidate)) {
                    outcome.handhelds.push_back(candidate);
                    outcome.handhelds.back().probed = identity;
                }
                break;
            case ProbeVerdict::OtherVolume:
                break;
            case ProbeVerdict::Refused:
                outcome.refused.push_back(candidate.path);
                break;
            case ProbeVerdict::Unreadable:
            case ProbeVerdict::NoAnswer:
                outcome.unread.push_back({candidate.path, probe});
                break;
        }
    }
    return outcome;
}
