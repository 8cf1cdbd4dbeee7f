#include "RemovableVolumes.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// sysfs writes the '/' of nodes in subdirectories (cciss/c0d0) as '!'.
std::string NodeOf(const std::string& devRoot, std::string name) {
    std::replace(name.begin(), name.end(), '!', '/');
    return devRoot + "/" + name;
}

bool ReadsOne(const fs::path& file) {
    std::ifstream in(file);
    int value = 0;
    return static_cast<bool>(in >> value) && value == 1;
}

std::vector<std::string> SortedEntries(const fs::path& directory) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

std::vector<VolumeCandidate> VolumesOfDisk(const std::string& sysfsRoot, const std::string& devRoot,
                                           const std::string& disk) {
    std::vector<VolumeCandidate> volumes{{NodeOf(devRoot, disk), disk, {}}};
    const fs::path diskDirectory = fs::path(sysfsRoot) / "block" / disk;
    for (const std::string& name : SortedEntries(diskDirectory)) {
        std::error_code error;
        if (fs::exists(diskDirectory / name / "partition", error)) {
            volumes.push_back({NodeOf(devRoot, name), disk, {}});
        }
    }
    return volumes;
}

std::vector<VolumeCandidate> ListRemovableVolumes(const std::string& sysfsRoot,
                                                  const std::string& devRoot) {
    std::vector<VolumeCandidate> volumes;
    const fs::path block = fs::path(sysfsRoot) / "block";
    for (const std::string& disk : SortedEntries(block)) {
        if (!ReadsOne(block / disk / "removable")) continue;
        const std::vector<VolumeCandidate> own = VolumesOfDisk(sysfsRoot, devRoot, disk);
        volumes.insert(volumes.end(), own.begin(), own.end());
    }
    return volumes;
}

std::string DiskOfNode(const std::string& sysfsRoot, const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || !S_ISBLK(status.st_mode)) return "";
    const fs::path link =
        fs::path(sysfsRoot) / "dev" / "block" /
        (std::to_string(major(status.st_rdev)) + ":" + std::to_string(minor(status.st_rdev)));
    std::error_code error;
    const fs::path device = fs::canonical(link, error);
    if (error) return "";
    if (fs::exists(device / "partition", error)) return device.parent_path().filename().string();
    return device.filename().string();
}
