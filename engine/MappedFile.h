// The bytes of a whole file, read-only; released and closed when destroyed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

class MappedFile {
public:
    virtual ~MappedFile() = default;
    virtual const uint8_t* Bytes() const = 0;
    virtual size_t Size() const = 0;
    // False once the file has changed since its bytes were taken. Where the open keeps every
    // writer out, as the Windows share mode does, it cannot change.
    virtual bool Unchanged() const { return true; }
};

// Opens the update data file for one run.
class DataFileSource {
public:
    // Null when the file cannot be opened, mapped or viewed (an empty file cannot be mapped).
    virtual std::unique_ptr<MappedFile> OpenDataFile() = 0;

protected:
    ~DataFileSource() = default;
};

// A view over bytes held elsewhere, for files made in memory.
class MemoryFile : public MappedFile {
public:
    MemoryFile(const uint8_t* bytes, size_t size) : bytes(bytes), size(size) {}
    const uint8_t* Bytes() const override { return bytes; }
    size_t Size() const override { return size; }

private:
    const uint8_t* bytes;
    size_t size;
};
