#include "MountTable.h"

#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

bool IsOctal(char c) {
    return c >= '0' && c <= '7';
}

// Spaces, tabs, newlines and backslashes in the fields are written as \ooo.
std::string Unescape(const std::string& field) {
    std::string text;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && IsOctal(field[i + 1]) &&
            IsOctal(field[i + 2]) && IsOctal(field[i + 3])) {
            text.push_back(static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                             (field[i + 3] - '0')));
            i += 3;
        } else {
            text.push_back(field[i]);
        }
    }
    return text;
}

// The device's directory in sysfs; a partition's lies inside its disk's.
fs::path SysfsDirectory(const std::string& sysfsRoot, dev_t device) {
    std::error_code error;
    const fs::path directory =
        fs::canonical(fs::path(sysfsRoot) / "dev" / "block" /
                          (std::to_string(major(device)) + ":" + std::to_string(minor(device))),
                      error);
    return error ? fs::path() : directory;
}

bool SameOrPartition(const fs::path& a, const fs::path& b) {
    return !a.empty() && !b.empty() && (a == b || a.parent_path() == b || b.parent_path() == a);
}

}  // namespace

bool SameOrPartitionOf(dev_t a, dev_t b, const std::string& sysfsRoot) {
    return a == b || SameOrPartition(SysfsDirectory(sysfsRoot, a), SysfsDirectory(sysfsRoot, b));
}

std::string NodeOf(dev_t device, const std::string& sysfsRoot, const std::string& devRoot) {
    const fs::path directory = SysfsDirectory(sysfsRoot, device);
    return directory.empty() ? "" : devRoot + "/" + directory.filename().string();
}

// A line: ID PARENT MAJOR:MINOR ROOT MOUNTPOINT OPTIONS ...
std::vector<MountEntry> ReadMounts(const std::string& mountInfoFile) {
    std::vector<MountEntry> mounts;
    std::ifstream in(mountInfoFile);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string id;
        std::string parent;
        unsigned majorNumber = 0;
        unsigned minorNumber = 0;
        char colon = 0;
        std::string root;
        std::string mountPoint;
        if (fields >> id >> parent >> majorNumber >> colon >> minorNumber >> root >> mountPoint &&
            colon == ':') {
            mounts.push_back({makedev(majorNumber, minorNumber), Unescape(mountPoint)});
        }
    }
    return mounts;
}

MountEntry MountOf(const std::vector<MountEntry>& mounts, dev_t device,
                   const std::string& sysfsRoot) {
    for (const MountEntry& mount : mounts) {
        if (mount.device == device) return mount;
    }
    const fs::path own = SysfsDirectory(sysfsRoot, device);
    for (const MountEntry& mount : mounts) {
        if (SameOrPartition(own, SysfsDirectory(sysfsRoot, mount.device))) return mount;
    }
    return {0, ""};
}
