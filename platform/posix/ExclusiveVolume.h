// One volume opened once, for reading and writing, and held exclusively for a whole run.
//
// On Linux an O_EXCL open of a block device fails with EBUSY while the device, or a partition
// or the disk it belongs to, is mounted or claimed by anyone, in any mount namespace; and while
// it is held, nobody can mount or claim them. O_EXCL guards nothing else, so the volume also
// takes an exclusive flock, as a program that writes a disk does to keep udev and any other
// taker of the lock away, and another run away from the same file. Every channel the run opens is a
// view of this one descriptor, so the run reaches the device it opened, whatever its path comes to
// name later.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "device/VolumeAccess.h"
#include "platform/posix/FileDescriptor.h"
#include "platform/posix/FileIdentity.h"

class ExclusiveVolume final : public VolumeAccess {
public:
    // The volume at index; 0, or the errno of the failed open: ENOTBLK for anything but a
    // block device or a regular file, EBUSY while another holds its lock.
    int Open(const std::string& path, int32_t index);
    // What was opened, whatever the path names by now.
    const FileIdentity& Identity() const { return identity; }
    // A block device the kernel will not let anyone write (blockdev --setro, a read-only loop).
    bool ReadOnly() const { return readOnly; }
    // The logical sector size of a block device; kSectorSize for a file.
    uint32_t LogicalSectorSize() const { return sectorSize; }

    uint32_t PresentVolumes() override;
    std::unique_ptr<SectorChannel> OpenVwin32() override { return nullptr; }
    // A channel over the one descriptor; null for any other index, or before Open.
    std::unique_ptr<SectorChannel> OpenVolume(int32_t index) override;

private:
    FileDescriptor file;
    int32_t index = -1;
    uint32_t sectorSize = kSectorSize;
    FileIdentity identity;
    bool readOnly = false;
};
