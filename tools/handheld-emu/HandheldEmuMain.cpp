// Serves emulated handhelds as raw volume files for native and Wine programs to update.
#include <iostream>

#include "EmuCommandLine.h"
#include "ServedVolumes.h"

int main(int argc, char** argv) {
    EmuCommandLine line;
    if (const auto stop = ParseEmuCommandLine(argc, argv, &line, std::cout, std::cerr)) {
        return *stop;
    }
    ServedVolumes volumes(line.handhelds, line.reportFile);
    return volumes.Serve(line.mountPoint);
}
