// The data file of a benchmark run: a file mapped anew each run, as the program does, or
// the typical file from memory when no path is given.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/MappedFile.h"
#include "platform/ProgramDataFile.h"
#include "support/BenchData.h"

class BenchDataSource final : public DataFileSource {
public:
    explicit BenchDataSource(std::string path) : path(std::move(path)) {
        if (this->path.empty()) bytes = TypicalDataFile();
    }
    std::unique_ptr<MappedFile> OpenDataFile() override {
        if (path.empty()) return std::make_unique<MemoryFile>(bytes.data(), bytes.size());
        return MapFileReadOnly(path.c_str());
    }

private:
    std::string path;
    std::vector<uint8_t> bytes;
};
