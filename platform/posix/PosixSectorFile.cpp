#include "platform/posix/PosixSectorFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "platform/posix/FileDescriptor.h"

namespace {

class PosixSectorFile final : public SectorChannel {
public:
    explicit PosixSectorFile(FileDescriptor owned)
        : owned(std::move(owned)), fd(this->owned.Get()) {}
    // Another owner keeps the descriptor open for longer than the channel.
    explicit PosixSectorFile(int borrowed) : fd(borrowed) {}

    int32_t ReadSectors(int32_t, uint32_t sector, uint32_t count, uint8_t* buffer) override {
        return Transfer(sector, count, buffer, [](int fd, uint8_t* at, size_t n, off_t offset) {
            return pread(fd, at, n, offset);
        });
    }
    int32_t WriteSectors(int32_t, uint32_t sector, uint32_t count, const uint8_t* buffer) override {
        return Transfer(sector, count, buffer,
                        [](int fd, const uint8_t* at, size_t n, off_t offset) {
                            return pwrite(fd, at, n, offset);
                        });
    }
    // A volume of its own needs no lock.
    VolumeLock LockVolume(int32_t) override { return VolumeLock::Locked; }
    bool UnlockVolume(int32_t) override { return true; }

private:
    // Bytes moved until the first error or end of file; -1 if nothing moved.
    template <typename Byte, typename Move>
    int32_t Transfer(uint32_t sector, uint32_t count, Byte* buffer, Move move) {
        const size_t total = size_t{count} * kSectorSize;
        const off_t start = static_cast<off_t>(sector) * kSectorSize;
        size_t done = 0;
        while (done < total) {
            const ssize_t moved =
                move(fd, buffer + done, total - done, start + static_cast<off_t>(done));
            if (moved < 0 && errno == EINTR) continue;
            if (moved <= 0) break;
            done += static_cast<size_t>(moved);
        }
        return done == 0 ? -1 : static_cast<int32_t>(done);
    }

    FileDescriptor owned;
    int fd;
};

}  // namespace

// Some file systems refuse O_DIRECT; the transfers stay whole aligned sectors anyway.
int OpenUnbuffered(const char* path, int flags) {
    const int fd = open(path, O_RDWR | O_CLOEXEC | O_DIRECT | flags);
    if (fd >= 0 || errno != EINVAL) return fd;
    return open(path, O_RDWR | O_CLOEXEC | flags);
}

std::unique_ptr<SectorChannel> OpenSectorFile(const char* path) {
    FileDescriptor file(OpenUnbuffered(path, 0));
    if (!file) return nullptr;
    return std::make_unique<PosixSectorFile>(std::move(file));
}

std::unique_ptr<SectorChannel> SectorChannelOver(int fd) {
    return std::make_unique<PosixSectorFile>(fd);
}
