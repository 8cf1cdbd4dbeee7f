#include "platform/posix/ExclusiveVolume.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/posix/PosixSectorFile.h"

// O_EXCL without O_CREAT means "claim" for a block device only; a file opens as it would.
int ExclusiveVolume::Open(const std::string& path, int32_t volumeIndex) {
    file.Reset(OpenUnbuffered(path.c_str(), O_EXCL));
    if (!file) return errno != 0 ? errno : EIO;
    // The path may name something else by now than what was looked at; a pipe or a terminal
    // would leave the first read waiting.
    struct stat status {};
    if (fstat(file.Get(), &status) != 0 || !(S_ISBLK(status.st_mode) || S_ISREG(status.st_mode))) {
        file.Reset();
        return ENOTBLK;
    }
    if (flock(file.Get(), LOCK_EX | LOCK_NB) != 0) {
        const int error = errno == EWOULDBLOCK ? EBUSY : errno;
        file.Reset();
        return error;
    }
    index = volumeIndex;
    identity = FileIdentity::Of(status);
    int size = static_cast<int>(kSectorSize);
    if (S_ISBLK(status.st_mode) && ioctl(file.Get(), BLKSSZGET, &size) == 0 && size > 0) {
        sectorSize = static_cast<uint32_t>(size);
    }
    int protectedFlag = 0;
    readOnly = S_ISBLK(status.st_mode) && ioctl(file.Get(), BLKROGET, &protectedFlag) == 0 &&
               protectedFlag != 0;
    return 0;
}

uint32_t ExclusiveVolume::PresentVolumes() {
    return file && index >= 0 && index < 32 ? uint32_t{1} << index : 0;
}

std::unique_ptr<SectorChannel> ExclusiveVolume::OpenVolume(int32_t volumeIndex) {
    if (!file || volumeIndex != index) return nullptr;
    return SectorChannelOver(file.Get());
}
