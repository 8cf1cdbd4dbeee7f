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
// The mount of the block device, else of a partition of it or of the disk it is a partition
// of, matched by device number whatever node it was mounted through; an empty mount point
// when none is mounted.
MountEntry MountOf(const std::vector<MountEntry>& mounts, dev_t device,
                   const std::string& sysfsRoot);
// Whether a and b are one block device, or one is a partition of the other.
bool SameOrPartitionOf(dev_t a, dev_t b, const std::string& sysfsRoot);
// The node under devRoot named as sysfs names the block device; empty when sysfs does not
// know it.
std::string NodeOf(dev_t device, const std::string& sysfsRoot, const std::string& devRoot);
