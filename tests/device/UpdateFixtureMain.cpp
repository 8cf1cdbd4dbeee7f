// For scripts that run the update outside a test program: writes the fixture's data file,
// and checks a handheld memory file afterwards.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "UpdateFixture.h"

namespace {

const char kUsage[] =
    "usage: update-fixture write-data FILE\n"
    "       update-fixture handheld-options      (the handheld-emu options of the fixture)\n"
    "       update-fixture check-memory FILE updated|untouched closing|no-closing\n";

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "write-data" && argc == 3) {
        const std::vector<uint8_t> bytes = BuildDataFile(FixtureDataFile());
        std::ofstream file(argv[2], std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return file.flush() ? 0 : 1;
    }
    if (command == "handheld-options" && argc == 2) {
        const HandheldOptions options = FixtureHandheld();
        std::printf("--version %u --group %d --number %d\n", options.versionWord,
                    options.characterGroup, options.characterNumber);
        return 0;
    }
    if (command == "check-memory" && argc == 5) {
        std::ifstream file(argv[2], std::ios::binary);
        const std::vector<uint8_t> memory{std::istreambuf_iterator<char>(file),
                                          std::istreambuf_iterator<char>()};
        const std::vector<std::string> problems = CheckMemory(
            memory, std::strcmp(argv[3], "updated") == 0, std::strcmp(argv[4], "closing") == 0);
        for (const std::string& problem : problems) std::printf("%s\n", problem.c_str());
        std::printf("memory %s\n", problems.empty() ? "as expected" : "NOT as expected");
        return problems.empty() ? 0 : 1;
    }
    std::fprintf(stderr, "%s", kUsage);
    return 2;
}
