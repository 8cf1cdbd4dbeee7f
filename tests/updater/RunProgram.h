// Runs a program as a user would: on pipes or on a terminal, optionally as another user.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

struct ProgramRun {
    int exitCode = -1;  // -1 unless it exited by itself in time
    std::string out;    // on a terminal: everything the terminal received
    std::string err;
};

struct RunSettings {
    bool terminal = false;
    // Switched to before the program starts, when not 0 (needs root).
    uid_t user = 0;
    gid_t group = 0;
    // "NAME=value" set, or "NAME" removed, in the program's environment.
    std::vector<std::string> environment;
};

ProgramRun RunProgram(const std::vector<std::string>& arguments, const RunSettings& settings = {});
