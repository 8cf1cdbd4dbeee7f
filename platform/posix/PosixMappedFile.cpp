#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/ProgramDataFile.h"
#include "platform/posix/ExecutableDirectory.h"
#include "platform/posix/FileDescriptor.h"

namespace {

class PosixMappedFile : public MappedFile {
public:
    PosixMappedFile(void* view, size_t size) : view(view), size(size) {}
    ~PosixMappedFile() override { munmap(view, size); }
    PosixMappedFile(const PosixMappedFile&) = delete;
    PosixMappedFile& operator=(const PosixMappedFile&) = delete;

    const uint8_t* Bytes() const override { return static_cast<const uint8_t*>(view); }
    size_t Size() const override { return size; }

private:
    void* view;
    size_t size;
};

}  // namespace

std::unique_ptr<MappedFile> MapFileReadOnly(const char* utf8Path) {
    // Closes on every path; the mapping keeps its own reference.
    const FileDescriptor file(open(utf8Path, O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) return nullptr;
    struct stat status {};
    if (fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size <= 0) {
        return nullptr;  // an empty file cannot be mapped
    }
    const auto size = static_cast<size_t>(status.st_size);
    void* view = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, file.Get(), 0);
    if (view == MAP_FAILED) return nullptr;
    return std::make_unique<PosixMappedFile>(view, size);
}

std::unique_ptr<MappedFile> ProgramDataFile::OpenDataFile() {
    const std::string path = ExecutableDirectory() + "/" + kDataFileName;
    return MapFileReadOnly(path.c_str());
}
