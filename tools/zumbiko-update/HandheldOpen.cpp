#include "HandheldOpen.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "FoundHandhelds.h"
#include "HandheldScan.h"
#include "LoopDevices.h"
#include "MountTable.h"
#include "UpdaterTexts.h"
#include "device/Mailbox.h"
#include "engine/UpdateResult.h"

namespace {

constexpr int kReadError = static_cast<int>(UpdateResult::ReadError);

// EBUSY is the kernel's word that something holds the device; the mount table, read only
// here, tells whether that is a mount the user can undo from here, and which partition to
// unmount.
int RefuseBusy(const UpdaterOptions& options, const std::string& path, std::FILE* err) {
    struct stat status {};
    MountEntry mount{0, ""};
    if (stat(path.c_str(), &status) == 0 && S_ISBLK(status.st_mode)) {
        mount = MountOf(ReadMounts(kMountInfo), status.st_rdev, options.sysfsRoot);
    }
    if (mount.mountPoint.empty()) {
        Say(err, TxtBusy, path.c_str());
        return kExitBusy;
    }
    std::string mounted = path;
    if (mount.device != status.st_rdev) {
        const std::string node = NodeOf(mount.device, options.sysfsRoot, options.devRoot);
        if (!node.empty()) mounted = node;
    }
    Say(err, TxtMounted, path.c_str(), mount.mountPoint.c_str(), ShellQuoted(mounted).c_str(),
        ShellQuoted(mount.mountPoint).c_str());
    return kExitMounted;
}

// What the open itself refused.
int RefuseOpen(const UpdaterOptions& options, const std::string& path, int error, std::FILE* err) {
    if (error == EBUSY) return RefuseBusy(options, path, err);
    switch (ClassifyOpenError(error)) {
        case OpenFailure::Denied:
            Say(err, TxtNoPermission, path.c_str());
            return kExitNoPermission;
        case OpenFailure::Gone:
            Say(err, TxtGone, path.c_str());
            return kExitGone;
        case OpenFailure::Other:
            break;
    }
    Say(err, TxtCannotOpen, path.c_str(), std::strerror(error));
    return kReadError;
}

}  // namespace

std::optional<int> OpenFoundHandheld(const UpdaterOptions& options, const VolumeCandidate& found,
                                     ExclusiveVolume& volume, std::FILE* err) {
    const char* path = found.path.c_str();
    const int error = volume.Open(found.path, FoundHandhelds::kDrive);
    if (error != 0) return RefuseOpen(options, found.path, error, err);
    // Re-plugged, or a link re-pointed, since the scan: not the drive that identified.
    if (volume.Identity() != found.probed) {
        Say(err, TxtDriveChanged, path);
        return kExitGone;
    }
    const std::string loop = LoopDeviceOver(volume.Identity(), options.sysfsRoot, options.devRoot);
    if (!loop.empty()) {
        Say(err, TxtLoopBacked, path, loop.c_str(), loop.c_str());
        return kExitBusy;
    }
    if (volume.ReadOnly()) {
        Say(err, TxtWriteProtected, path);
        return kReadError;
    }
    if (volume.LogicalSectorSize() != kSectorSize) {
        Say(err, TxtSectorSize, path, volume.LogicalSectorSize());
        return kReadError;
    }
    return std::nullopt;
}
