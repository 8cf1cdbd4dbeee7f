// The volumes of the system's removable disks, as sysfs lists them.
#pragma once

#include <string>
#include <vector>

#include "platform/posix/FileIdentity.h"

struct VolumeCandidate {
    std::string path;     // the device node
    std::string disk;     // the whole disk it lies on; empty for a file named by the user
    FileIdentity probed;  // what the path named when it was found to be a handheld
};

// Every disk under SYSFS/block whose "removable" reads 1: the whole disk, then its
// partitions, since a handheld's volume may or may not be partitioned. Nodes lie under devRoot.
std::vector<VolumeCandidate> ListRemovableVolumes(const std::string& sysfsRoot,
                                                  const std::string& devRoot);
// One disk and its partitions.
std::vector<VolumeCandidate> VolumesOfDisk(const std::string& sysfsRoot, const std::string& devRoot,
                                           const std::string& disk);
// The disk a block device node belongs to, found through SYSFS/dev/block; empty for anything
// else.
std::string DiskOfNode(const std::string& sysfsRoot, const std::string& path);
