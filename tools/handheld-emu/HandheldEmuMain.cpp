// Serves emulated handhelds as raw volume files for native and Wine programs to update.
#include <cstdio>
#include <string>

#include "EmuCommandLine.h"
#include "ServedVolumes.h"

int main(int argc, char** argv) {
    EmuCommandLine line;
    std::string error;
    if (!ParseEmuCommandLine(argc, argv, &line, &error)) {
        std::fprintf(stderr, "handheld-emu: %s\n%s", error.c_str(), kEmuUsage);
        return 2;
    }
    ServedVolumes volumes(line.handhelds, line.reportFile);
    return volumes.Serve(line.mountPoint);
}
