#include "MountTable.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <fstream>
#include <memory>
#include <sstream>

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

std::string RealPath(const std::string& path) {
    const std::unique_ptr<char, decltype(&free)> real(realpath(path.c_str(), nullptr), &free);
    return real ? std::string(real.get()) : path;
}

}  // namespace

std::vector<MountEntry> ReadMounts(const std::string& mountsFile) {
    std::vector<MountEntry> mounts;
    std::ifstream in(mountsFile);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string source;
        std::string mountPoint;
        if (fields >> source >> mountPoint)
            mounts.push_back({Unescape(source), Unescape(mountPoint)});
    }
    return mounts;
}

std::string MountPointOf(const std::vector<MountEntry>& mounts, const std::string& path) {
    struct stat wanted {};
    const bool isNode = stat(path.c_str(), &wanted) == 0 && S_ISBLK(wanted.st_mode);
    const std::string real = RealPath(path);
    for (const MountEntry& mount : mounts) {
        if (mount.source.empty() || mount.source[0] != '/') continue;  // proc, tmpfs, ...
        struct stat status {};
        if (isNode) {
            if (stat(mount.source.c_str(), &status) == 0 && S_ISBLK(status.st_mode) &&
                status.st_rdev == wanted.st_rdev) {
                return mount.mountPoint;
            }
        } else if (RealPath(mount.source) == real) {
            return mount.mountPoint;
        }
    }
    return "";
}
