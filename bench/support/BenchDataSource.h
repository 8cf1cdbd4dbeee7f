// The data file of a benchmark run: a file taken anew each run, as the program does, or
// the typical file from memory when no path is given.
#pragma once

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/MappedFile.h"
#include "platform/ProgramDataFile.h"
#include "support/BenchData.h"

// The file mapped and read in place, as the Windows program takes it: only the pages that
// the look-ups and placements touch are read.
class MappedView final : public MappedFile {
public:
    static std::unique_ptr<MappedFile> Open(const char* path) {
        const int fd = open(path, O_RDONLY | O_CLOEXEC);
        if (fd < 0) return nullptr;
        struct stat status {};
        void* view = MAP_FAILED;
        if (fstat(fd, &status) == 0 && status.st_size > 0) {
            view =
                mmap(nullptr, static_cast<size_t>(status.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
        }
        close(fd);
        if (view == MAP_FAILED) return nullptr;
        return std::make_unique<MappedView>(view, static_cast<size_t>(status.st_size));
    }
    MappedView(void* view, size_t size) : view(view), size(size) {}
    ~MappedView() override { munmap(view, size); }
    MappedView(const MappedView&) = delete;
    MappedView& operator=(const MappedView&) = delete;

    const uint8_t* Bytes() const override { return static_cast<const uint8_t*>(view); }
    size_t Size() const override { return size; }

private:
    void* view;
    size_t size;
};

class BenchDataSource final : public DataFileSource {
public:
    // mapped: as the Windows program takes the file; else as the native build does, read
    // whole into memory.
    explicit BenchDataSource(std::string path, bool mapped = false)
        : path(std::move(path)), mapped(mapped) {
        if (this->path.empty()) bytes = TypicalDataFile();
    }
    std::unique_ptr<MappedFile> OpenDataFile() override {
        if (path.empty()) return std::make_unique<MemoryFile>(bytes.data(), bytes.size());
        return mapped ? MappedView::Open(path.c_str()) : MapFileReadOnly(path.c_str());
    }

private:
    std::string path;
    bool mapped;
    std::vector<uint8_t> bytes;
};
