#include "platform/posix/ExecutableDirectory.h"

#include <limits.h>
#include <unistd.h>

#include "platform/ProgramDataFile.h"

std::string ExecutableDirectory() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return ".";
    const std::string full(path, static_cast<size_t>(length));
    const size_t slash = full.rfind('/');
    return slash == std::string::npos ? "." : full.substr(0, slash);
}

std::string DefaultDataFilePath() {
    const std::string directory = ExecutableDirectory();
    std::string beside = directory + "/" + kDataFileName;
    const size_t slash = directory.rfind('/');
    if (access(beside.c_str(), F_OK) == 0 || slash == std::string::npos) return beside;
    const std::string installed =
        directory.substr(0, slash) + "/share/zumbiko-update/" + kDataFileName;
    return access(installed.c_str(), F_OK) == 0 ? installed : beside;
}
