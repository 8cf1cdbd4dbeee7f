// One run of the command-line updater: find the handheld, refuse what would harm it, update
// or check it through the engine, and say the result.
#pragma once

#include <cstdio>
#include <string>

struct UpdaterOptions {
    std::string device;    // empty: look among the removable drives
    std::string dataFile;  // empty: "Zumbiko Update.dat" beside the executable
    bool german = false;
    bool check = false;
    // Where the system describes its disks. No option sets them: tests in process give trees
    // of their own.
    std::string sysfsRoot = "/sys";
    std::string devRoot = "/dev";
};

// Exit codes beside the update's results 0 and 2 to 11.
constexpr int kExitMounted = 12;
constexpr int kExitNoPermission = 13;
constexpr int kExitBusy = 14;
constexpr int kExitGone = 15;
constexpr int kExitUsage = 64;
// A signal held until the handheld was safe ends the program as 128 + its number.
constexpr int kExitSignalBase = 128;

// The exit code. terminal: out is a terminal, so progress is a redrawn bar.
int RunUpdater(const UpdaterOptions& options, std::FILE* out, std::FILE* err, bool terminal);
