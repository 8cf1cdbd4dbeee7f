// The handheld-emu command line: where to mount and which handhelds to serve.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "emulator/HandheldOptions.h"

struct ServedHandheld {
    std::string name;  // the file's name under the mount point
    HandheldOptions options;
};

struct EmuCommandLine {
    std::string mountPoint;
    std::string reportFile;
    std::vector<ServedHandheld> handhelds;
};

// Fills *line; an exit code when the program is to stop at once (help: 0, a mistake: 2, told
// on err).
std::optional<int> ParseEmuCommandLine(int argc, const char* const* argv, EmuCommandLine* line,
                                       std::ostream& out, std::ostream& err);
