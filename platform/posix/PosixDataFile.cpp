// The data file on POSIX systems, read whole into private memory rather than mapped: any
// process may cut a file short while a run uses it, and a mapped page past the new end kills
// the reader with SIGBUS. A private copy cannot shrink, and it is one consistent state of the
// file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <new>
#include <string>

#include "engine/DataFile.h"
#include "platform/ProgramDataFile.h"
#include "platform/posix/ExecutableDirectory.h"
#include "platform/posix/FileDescriptor.h"

namespace {

// A write or a cut changes the size or the modification time.
bool SameState(const struct stat& a, const struct stat& b) {
    return a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

class PrivateCopy final : public MappedFile {
public:
    PrivateCopy(FileDescriptor file, std::unique_ptr<uint8_t[]> bytes, size_t size,
                const struct stat& state)
        : file(std::move(file)), bytes(std::move(bytes)), size(size), state(state) {}

    const uint8_t* Bytes() const override { return bytes.get(); }
    size_t Size() const override { return size; }
    bool Unchanged() const override {
        struct stat now {};
        return fstat(file.Get(), &now) == 0 && SameState(now, state);
    }

private:
    FileDescriptor file;  // held to tell whether the file changed after it was read
    std::unique_ptr<uint8_t[]> bytes;
    size_t size;
    struct stat state;
};

// False when the file ends early: it was cut while being read.
bool ReadWhole(int fd, uint8_t* buffer, size_t size) {
    size_t done = 0;
    while (done < size) {
        const ssize_t got = read(fd, buffer + done, size - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        done += static_cast<size_t>(got);
    }
    return true;
}

}  // namespace

// Only a regular file, named as itself: opening a FIFO would wait for a writer, and reading a
// device would never end. O_NONBLOCK lets the open of a FIFO return at once, for fstat to
// refuse it. A file larger than any data file is refused before a byte of it is read (EFBIG).
std::unique_ptr<MappedFile> MapFileReadOnly(const char* utf8Path) {
    FileDescriptor file(open(utf8Path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW));
    if (!file) return nullptr;
    struct stat before {};
    if (fstat(file.Get(), &before) != 0 || !S_ISREG(before.st_mode) || before.st_size <= 0 ||
        static_cast<uintmax_t>(before.st_size) > SIZE_MAX) {
        return nullptr;  // an empty file is no data file
    }
    if (static_cast<uintmax_t>(before.st_size) > kLargestDataFile) {
        errno = EFBIG;
        return nullptr;
    }
    const auto size = static_cast<size_t>(before.st_size);
    std::unique_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[size]);
    if (!bytes || !ReadWhole(file.Get(), bytes.get(), size)) return nullptr;
    // Written to while it was read, the copy may mix two states of the file.
    struct stat after {};
    if (fstat(file.Get(), &after) != 0 || !SameState(before, after)) return nullptr;
    return std::make_unique<PrivateCopy>(std::move(file), std::move(bytes), size, after);
}

std::unique_ptr<MappedFile> ProgramDataFile::OpenDataFile() {
    return MapFileReadOnly(DefaultDataFilePath().c_str());
}
