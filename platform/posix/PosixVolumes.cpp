#include "platform/posix/PosixVolumes.h"

#include "platform/posix/PosixSectorFile.h"

bool PosixVolumes::Assign(int32_t index, const std::string& path) {
    if (index < 0 || index >= kVolumes) return false;
    paths[static_cast<size_t>(index)] = path;
    return true;
}

uint32_t PosixVolumes::PresentVolumes() {
    uint32_t present = 0;
    for (size_t i = 0; i < paths.size(); ++i) {
        if (!paths[i].empty()) present |= uint32_t{1} << i;
    }
    return present;
}

std::unique_ptr<SectorChannel> PosixVolumes::OpenVolume(int32_t index) {
    if (index < 0 || index >= kVolumes) return nullptr;
    const std::string& path = paths[static_cast<size_t>(index)];
    return path.empty() ? nullptr : OpenSectorFile(path.c_str());
}
