// Writes the benchmarks' data files and tells handheld-emu which handheld they update.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>

#include "support/BenchData.h"

// CLI11 throws from setting up its options only when they are set up wrongly.
// NOLINTNEXTLINE(bugprone-exception-escape)
int main(int argc, char** argv) {
    CLI::App app("Writes the benchmarks' data files.", "bench-data");
    app.require_subcommand(1);
    std::string path;
    uint64_t bytes = 0;
    CLI::App* write = app.add_subcommand("write", "Write the typical file, or one of about BYTES");
    write->add_option("file", path)->required();
    write->add_option("bytes", bytes);
    app.add_subcommand("emu-options", "The handheld, as handheld-emu options");
    CLI11_PARSE(app, argc, argv);

    if (!write->parsed()) {
        std::printf("%s\n", BenchHandheldEmuOptions().c_str());
        return 0;
    }
    const std::vector<uint8_t> file = bytes != 0 ? DataFileOfAbout(bytes) : TypicalDataFile();
    if (file.empty() || !WriteWholeFile(path, file)) {
        std::fprintf(stderr, "bench-data: could not write %s\n", path.c_str());
        return 1;
    }
    std::printf("%zu\n", file.size());
    return 0;
}
