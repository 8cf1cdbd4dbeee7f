#include "platform/posix/PosixVolumes.h"

#include <cwchar>

#include "platform/posix/PosixSectorFile.h"

bool PosixVolumes::Assign(char letter, const std::string& path) {
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
    if (letter < 'A' || letter > 'Z') return false;
    paths[static_cast<size_t>(letter - 'A')] = path;
    return true;
}

uint32_t PosixVolumes::LogicalDrives() {
    uint32_t drives = 0;
    for (size_t i = 0; i < paths.size(); ++i) {
        if (!paths[i].empty()) drives |= uint32_t{1} << i;
    }
    return drives;
}

std::unique_ptr<SectorChannel> PosixVolumes::OpenVolume(const wchar_t* volumeName) {
    if (std::wcslen(volumeName) != 6 || std::wcsncmp(volumeName, L"\\\\.\\", 4) != 0 ||
        volumeName[5] != L':' || volumeName[4] < L'A' || volumeName[4] > L'Z') {
        return nullptr;
    }
    const std::string& path = paths[static_cast<size_t>(volumeName[4] - L'A')];
    return path.empty() ? nullptr : OpenSectorFile(path.c_str());
}
