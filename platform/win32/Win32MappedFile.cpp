#include <windows.h>

// shlwapi.h needs the types of windows.h.
#include <shlwapi.h>

#include <algorithm>
#include <iterator>

#include "platform/ProgramDataFile.h"
#include "platform/win32/Win32Handles.h"

namespace {

class Win32MappedFile : public MappedFile {
public:
    Win32MappedFile(FileHandle file, KernelHandle mapping, FileView view, size_t size)
        : file(std::move(file)), mapping(std::move(mapping)), view(std::move(view)), size(size) {}

    const uint8_t* Bytes() const override { return static_cast<const uint8_t*>(view.Get()); }
    size_t Size() const override { return size; }

private:
    // Released in the opposite order: the view, the mapping, the file.
    FileHandle file;
    KernelHandle mapping;
    FileView view;
    size_t size;
};

std::unique_ptr<MappedFile> MapWide(const wchar_t* path) {
    FileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return nullptr;

    LARGE_INTEGER fileSize{};
    if (!GetFileSizeEx(file.Get(), &fileSize) || fileSize.QuadPart <= 0 ||
        static_cast<unsigned long long>(fileSize.QuadPart) > SIZE_MAX) {
        return nullptr;
    }
    KernelHandle mapping(CreateFileMappingW(file.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping) return nullptr;
    FileView view(MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 0));
    if (!view) return nullptr;

    return std::make_unique<Win32MappedFile>(std::move(file), std::move(mapping), std::move(view),
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
    // The data file lives in the program's folder. Its name is ASCII, so each char widens as is.
    wchar_t name[sizeof kDataFileName] = {};
    std::copy(std::begin(kDataFileName), std::end(kDataFileName), name);
    if (!PathRemoveFileSpecW(path)) return nullptr;
    if (!PathAppendW(path, name)) return nullptr;
    return MapWide(path);
}
