// The handheld-emu command line: where to mount and which handhelds to serve.
#pragma once

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

extern const char kEmuUsage[];

// False, with the reason in *error, on anything it does not understand.
bool ParseEmuCommandLine(int argc, char** argv, EmuCommandLine* line, std::string* error);
