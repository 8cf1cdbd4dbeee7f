// Emulated handhelds served as files of a FUSE mount, each read and written uncached.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "EmuCommandLine.h"
#include "emulator/EmulatedHandheld.h"

class ServedVolumes {
public:
    ServedVolumes(const std::vector<ServedHandheld>& handhelds, std::string reportFile);

    // Mounts, serves until SIGINT or SIGTERM, unmounts. The exit code for main.
    int Serve(const std::string& mountPoint);

    struct Entry {
        std::string name;
        std::unique_ptr<EmulatedHandheld> handheld;
    };
    Entry* Find(const char* path);
    std::vector<Entry>& Entries() { return entries; }
    // Written after every open and close, so a test can look while the handhelds are served.
    void WriteReport() const;

private:
    std::vector<Entry> entries;
    std::string reportFile;
};
