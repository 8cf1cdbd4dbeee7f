#include "platform/posix/BootSectorProbe.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "device/Mailbox.h"
#include "platform/posix/FileDescriptor.h"

namespace {

constexpr unsigned kFloppyMajor = 2;
constexpr unsigned kDiscMajor = 11;  // sr: SCSI, SATA and USB disc drives
constexpr int kLargestSector = 65536;

// Opening a disc drive can close its tray; a floppy drive spins up. Neither is a handheld.
bool IsDiscOrFloppyDrive(dev_t device) {
    return major(device) == kDiscMajor || major(device) == kFloppyMajor;
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return FileIdentity::Of(a) == FileIdentity::Of(b);
}

// O_DIRECT on a disk: exactly the one sector reaches it, nothing is read ahead, and no stale
// copy comes out of the page cache. Never opened for writing: closing a disk opened for
// writing raises a "change" event, which would run this helper again.
ProbeResult ReadAndIdentify(const char* path, const struct stat& looked) {
    const bool disk = S_ISBLK(looked.st_mode);
    FileDescriptor file(
        open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (disk ? O_DIRECT : 0)));
    if (!file) return {ProbeVerdict::Unreadable, errno};
    struct stat opened {};
    if (fstat(file.Get(), &opened) != 0 || !SameFile(looked, opened)) {
        return {ProbeVerdict::Refused, 0};  // replaced since it was looked at
    }
    int sectorSize = static_cast<int>(kSectorSize);
    if (disk && ioctl(file.Get(), BLKSSZGET, &sectorSize) != 0) {
        return {ProbeVerdict::Unreadable, errno};
    }
    if (sectorSize < static_cast<int>(kSectorSize) || sectorSize > kLargestSector) {
        return {ProbeVerdict::Unreadable, EINVAL};
    }
    alignas(4096) static uint8_t sector[kLargestSector];
    ssize_t got = -1;
    do {
        got = pread(file.Get(), sector, static_cast<size_t>(sectorSize), 0);
    } while (got < 0 && errno == EINTR);
    if (got < 0) return {ProbeVerdict::Unreadable, errno};
    return {CarriesIdentification(sector, static_cast<size_t>(got)) ? ProbeVerdict::Handheld
                                                                    : ProbeVerdict::OtherVolume,
            0};
}

// Waits for the child's verdict until the deadline.
bool AwaitVerdict(int channel, int seconds, ProbeResult* result) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ready{channel, POLLIN, 0};
        const int polled = poll(&ready, 1, static_cast<int>(std::max<int64_t>(left.count(), 0)));
        if (polled < 0 && errno == EINTR) continue;
        if (polled <= 0) return false;
        if (read(channel, result, sizeof *result) != sizeof *result) {
            *result = {ProbeVerdict::Unreadable, EIO};  // the reader died
        }
        return true;
    }
}

}  // namespace

// The read runs in a child. A direct read from a disk that stopped answering waits in the
// kernel where no signal reaches it, until the kernel's own error handling gives up, which
// can take minutes; udev must not wait that long. The child lets go of the streams that
// udev reads at once, so that only the child, not udev, is left waiting.
ProbeResult ProbeBootSector(const char* path, int seconds, FileIdentity* identity) {
    struct stat looked {};
    if (stat(path, &looked) != 0) return {ProbeVerdict::Unreadable, errno};
    if (identity != nullptr) *identity = FileIdentity::Of(looked);
    if (!S_ISREG(looked.st_mode) &&
        (!S_ISBLK(looked.st_mode) || IsDiscOrFloppyDrive(looked.st_rdev))) {
        return {ProbeVerdict::Refused, 0};
    }
    int channel[2];
    if (pipe2(channel, O_CLOEXEC) != 0) return {ProbeVerdict::Unreadable, errno};
    const FileDescriptor verdicts(channel[0]);
    FileDescriptor reply(channel[1]);
    const pid_t child = fork();
    if (child < 0) return {ProbeVerdict::Unreadable, errno};
    if (child == 0) {
        const int null = open("/dev/null", O_RDWR | O_CLOEXEC);
        for (const int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) dup2(null, stream);
        const ProbeResult result = ReadAndIdentify(path, looked);
        _exit(write(reply.Get(), &result, sizeof result) == sizeof result ? 0 : 1);
    }
    reply.Reset();  // the child's end: its closing says the child is gone
    ProbeResult result;
    if (AwaitVerdict(verdicts.Get(), seconds, &result)) {
        waitpid(child, nullptr, 0);
        return result;
    }
    // It ends as soon as the kernel lets go of the read; its new parent collects it.
    kill(child, SIGKILL);
    return {ProbeVerdict::NoAnswer, 0};
}
