// The one open of the handheld for the whole run, and every refusal that comes with it: a
// drive mounted, held by another, backing a loop device, write-protected, of another sector
// size, or no longer the drive that was found.
#pragma once

#include <cstdio>
#include <optional>

#include "RemovableVolumes.h"
#include "Updater.h"
#include "platform/posix/ExclusiveVolume.h"

// Nothing when the handheld found is open in volume for the run; else the exit code, with
// the reason said on err. Nothing is written to a drive it refuses.
std::optional<int> OpenFoundHandheld(const UpdaterOptions& options, const VolumeCandidate& found,
                                     ExclusiveVolume& volume, std::FILE* err);
