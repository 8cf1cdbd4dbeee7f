// Looks for handhelds among volumes named by path, with the program's own identification.
#pragma once

#include <string>
#include <vector>

#include "RemovableVolumes.h"

class Sleeper;
class ProgressSink;

struct UnopenedVolume {
    std::string path;
    int error;  // errno of the failed open
};

struct ScanOutcome {
    // At most one per disk: a disk and its partition both identifying are one handheld.
    std::vector<VolumeCandidate> handhelds;
    // Volumes that could not be opened for reading and writing, and why.
    std::vector<UnopenedVolume> unopened;

    // Whether the user may lack the right to write to some volume.
    bool AnyDenied() const;
};

// The scan moves no data: progress is never stepped.
ScanOutcome ScanVolumes(const std::vector<VolumeCandidate>& candidates, Sleeper& sleeper,
                        ProgressSink& progress);
