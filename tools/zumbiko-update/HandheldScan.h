// Looks for handhelds among volumes named by path: each read once, read-only, one logical
// sector, as the udev helper reads it.
#pragma once

#include <string>
#include <vector>

#include "RemovableVolumes.h"
#include "platform/posix/BootSectorProbe.h"

struct ProbedVolume {
    std::string path;
    ProbeResult probe;
};

struct ScanOutcome {
    // At most one per disk: a disk and its partition both identifying are one handheld.
    std::vector<VolumeCandidate> handhelds;
    // Volumes that could not be read, and why.
    std::vector<ProbedVolume> unread;
    // Named paths that are neither a disk nor a disk image, and disc and floppy drives.
    std::vector<std::string> refused;

    // The volumes the user may lack the right to read.
    std::vector<std::string> Denied() const;
};

ScanOutcome ScanVolumes(const std::vector<VolumeCandidate>& candidates);

// What kept a volume from being opened, as the user can act on it.
enum class OpenFailure { Denied, Gone, Other };
OpenFailure ClassifyOpenError(int error);
