// What a path named when it was looked at: the same kind of file, the same inode, and for a
// device node the same device, or it is something else by now.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

struct FileIdentity {
    mode_t type = 0;  // S_IFMT bits; 0 while nothing was looked at
    dev_t device = 0;
    ino_t inode = 0;
    dev_t node = 0;  // of a device node

    static FileIdentity Of(const struct stat& status) {
        return {static_cast<mode_t>(status.st_mode & S_IFMT), status.st_dev, status.st_ino,
                status.st_rdev};
    }
    bool operator==(const FileIdentity& other) const {
        return type == other.type && device == other.device && inode == other.inode &&
               node == other.node;
    }
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }
};
