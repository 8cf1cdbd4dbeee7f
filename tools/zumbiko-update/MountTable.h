// What the system has mounted, as /proc/self/mounts lists it.
#pragma once

#include <string>
#include <vector>

struct MountEntry {
    std::string source;
    std::string mountPoint;
};

// Empty when the file cannot be read.
std::vector<MountEntry> ReadMounts(const std::string& mountsFile);
// Where a device node or file is mounted: nodes match by device number, other files by their
// real path, so links such as /dev/disk/by-label/... are found too. Empty when it is not.
std::string MountPointOf(const std::vector<MountEntry>& mounts, const std::string& path);
