// Writes the benchmarks' data files and tells handheld-emu which handheld they update.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/BenchData.h"

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "write" && (argc == 3 || argc == 4)) {
        const std::vector<uint8_t> bytes =
            argc == 4 ? DataFileOfAbout(std::strtoull(argv[3], nullptr, 0)) : TypicalDataFile();
        if (bytes.empty() || !WriteWholeFile(argv[2], bytes)) {
            std::fprintf(stderr, "bench-data: could not write %s\n", argv[2]);
            return 1;
        }
        std::printf("%zu\n", bytes.size());
        return 0;
    }
    if (command == "emu-options" && argc == 2) {
        std::printf("%s\n", BenchHandheldEmuOptions().c_str());
        return 0;
    }
    std::fprintf(stderr,
                 "usage: bench-data write FILE [BYTES]   the typical file, or one of about BYTES\n"
                 "       bench-data emu-options          the handheld, as handheld-emu options\n");
    return 2;
}
