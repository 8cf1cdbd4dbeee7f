// The update data file that lies beside the running executable.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "engine/MappedFile.h"

constexpr const char kDataFileName[] = "Zumbiko Update.dat";

// Maps a file read-only, whole; null when it cannot be opened, mapped or viewed.
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
