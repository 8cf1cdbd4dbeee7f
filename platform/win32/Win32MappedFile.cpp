#include <windows.h>
// shlwapi.h needs the types of windows.h.
#include <shlwapi.h>

#include "platform/ProgramDataFile.h"

namespace {

// Each owns one kernel handle kind and closes it once.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle(handle) {}
    ~FileHandle() {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE Get() const { return handle; }
    HANDLE Release() {
        HANDLE released = handle;
        handle = INVALID_HANDLE_VALUE;
        return released;
    }

private:
    HANDLE handle;
};

class MappingHandle {
public:
    explicit MappingHandle(HANDLE handle) : handle(handle) {}
    ~MappingHandle() {
        if (handle != nullptr) CloseHandle(handle);
    }
    MappingHandle(const MappingHandle&) = delete;
    MappingHandle& operator=(const MappingHandle&) = delete;
    HANDLE Get() const { return handle; }
    HANDLE Release() {
        HANDLE released = handle;
        handle = nullptr;
        return released;
    }

private:
    HANDLE handle;
};

// The view, the mapping and the file, released in that order.
class Win32MappedFile : public MappedFile {
public:
    Win32MappedFile(HANDLE file, HANDLE mapping, const void* view, size_t size)
        : file(file), mapping(mapping), view(view), size(size) {}
    ~Win32MappedFile() override { UnmapViewOfFile(view); }

    const uint8_t* Bytes() const override { return static_cast<const uint8_t*>(view); }
    size_t Size() const override { return size; }

private:
    FileHandle file;
    MappingHandle mapping;
    const void* view;
    size_t size;
};

std::unique_ptr<MappedFile> MapWide(const wchar_t* path) {
    HANDLE fileHandle = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (fileHandle == INVALID_HANDLE_VALUE) return nullptr;
    FileHandle file(fileHandle);

    LARGE_INTEGER fileSize{};
    if (!GetFileSizeEx(file.Get(), &fileSize) || fileSize.QuadPart <= 0 ||
        static_cast<unsigned long long>(fileSize.QuadPart) > SIZE_MAX) {
        return nullptr;
    }
    HANDLE mappingHandle = CreateFileMappingW(file.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (mappingHandle == nullptr) return nullptr;
    MappingHandle mapping(mappingHandle);

    const void* view = MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 0);
    if (view == nullptr) return nullptr;

    return std::make_unique<Win32MappedFile>(file.Release(), mapping.Release(), view,
                                             static_cast<size_t>(fileSize.QuadPart));
}

}  // namespace

std::unique_ptr<MappedFile> MapFileReadOnly(const char* utf8Path) {
    wchar_t path[MAX_PATH];
    if (MultiByteToWideChar(CP_UTF8, 0, utf8Path, -1, path, MAX_PATH) == 0) return nullptr;
    return MapWide(path);
}

std::unique_ptr<MappedFile> ProgramDataFile::OpenDataFile() {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    PathRemoveFileSpecW(path);
    if (!PathAppendW(path, L"Zumbiko Update.dat")) return nullptr;
    return MapWide(path);
}
