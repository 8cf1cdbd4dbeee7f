// Runs tools/handheld-emu for one test: mounts under a fresh directory, stops it with
// SIGTERM and waits for it to unmount.
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <string>
#include <vector>

class ServedEmulator {
public:
    // Arguments after the mount point, as on the command line; @DIR@ stands for Directory().
    explicit ServedEmulator(std::vector<std::string> arguments);
    ~ServedEmulator();
    ServedEmulator(const ServedEmulator&) = delete;
    ServedEmulator& operator=(const ServedEmulator&) = delete;

    static bool Available();
    // Whether it came up with every file in place.
    bool Running() const { return running; }
    std::string PathOf(const std::string& name) const { return mountPoint + "/" + name; }
    const std::string& Directory() const { return directory; }
    // The report lines its files wrote; empty until a file was closed.
    std::string Report() const;
    // The kernel tells the server of a last close after close() returns: waits until every
    // served file reports no handle open; false if that did not come in time.
    bool WaitUntilAllClosed() const;
    // SIGTERM or SIGINT, then the exit code; -1 if it did not end in time or ended by a
    // signal.
    int Stop(int signal = SIGTERM);
    bool Mounted() const;

private:
    std::string directory;
    std::string mountPoint;
    pid_t child = -1;
    bool running = false;
};
