#include "LoopDevices.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "MountTable.h"

namespace fs = std::filesystem;

namespace {

constexpr char kDeleted[] = " (deleted)";

bool Backs(const FileIdentity& opened, const struct stat& backing, const std::string& sysfsRoot) {
    if (S_ISBLK(backing.st_mode)) {
        return opened.type == S_IFBLK && SameOrPartitionOf(opened.node, backing.st_rdev, sysfsRoot);
    }
    return opened.type == S_IFREG && FileIdentity::Of(backing) == opened;
}

}  // namespace

std::string LoopDeviceOver(const FileIdentity& opened, const std::string& sysfsRoot,
                           const std::string& devRoot) {
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(sysfsRoot + "/block", error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("loop", 0) != 0) continue;
        std::string backingFile;
        std::getline(std::ifstream(entry.path() / "loop" / "backing_file"), backingFile);
        // A file deleted since it was attached is still the one the loop device reads.
        const size_t deleted = backingFile.rfind(kDeleted);
        if (deleted != std::string::npos && deleted + sizeof kDeleted - 1 == backingFile.size()) {
            backingFile.resize(deleted);
        }
        struct stat backing {};
        if (!backingFile.empty() && stat(backingFile.c_str(), &backing) == 0 &&
            Backs(opened, backing, sysfsRoot)) {
            return (fs::path(devRoot) / name).string();
        }
    }
    return "";
}
