// What the system has mounted, as /proc/self/mountinfo lists it: only to say where a device
// that refused to be opened is mounted. The refusal itself is the kernel's.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

struct MountEntry {
    dev_t device;  // of the mounted file system: a block device's own number
    std::string mountPoint;
};

constexpr char kMountInfo[] = "/proc/self/mountinfo";

// Empty when the file cannot be read.
std::vector<MountEntry> ReadMounts(const std::string& mountInfoFile);
// Where the block device, a partition of it, or the disk it is a partition of, is mounted,
// matched by device number whatever node it was mounted through; empty when none is.
std::string MountPointOf(const std::vector<MountEntry>& mounts, dev_t device,
                         const std::string& sysfsRoot);
