// The update data file that lies beside the running executable.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "engine/MappedFile.h"

constexpr const char kDataFileName[] = "Zumbiko Update.dat";

// A whole file, read-only: mapped on Windows, where the open keeps writers out; read into
// private memory elsewhere, where a writer could cut a mapping short under the run. Null when
// it cannot be opened, mapped or read; on POSIX systems also when the path names a symbolic
// link or anything but a regular file.
std::unique_ptr<MappedFile> MapFileReadOnly(const char* utf8Path);

class ProgramDataFile : public DataFileSource {
public:
    std::unique_ptr<MappedFile> OpenDataFile() override;
};

// A data file named by the user.
class PathDataFile final : public DataFileSource {
public:
    explicit PathDataFile(std::string path) : path(std::move(path)) {}
    std::unique_ptr<MappedFile> OpenDataFile() override { return MapFileReadOnly(path.c_str()); }

private:
    std::string path;
};
