// Reads the JSON manifest from which zdat builds an update data file (format: docs/zdat.md).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "tools/zdat/DataFileWriter.h"

// Resource files named by the manifest are read relative to baseDir. On failure, error
// names the place in the manifest ("groups[1][0].resources[2].id") and what is wrong.
bool ParseManifest(std::string_view text, const std::filesystem::path& baseDir,
                   DataFileDescription* description, std::string* error);

// Reads the manifest file and parses it with its own folder as baseDir.
bool LoadManifest(const std::filesystem::path& manifest, DataFileDescription* description,
                  std::string* error);
