// For scripts that run the update outside a test program: writes the fixture's data file,
// and checks a handheld memory file afterwards.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "UpdateFixture.h"
#include "emulator/HandheldMemory.h"
#include "tools/handheld-emu/EmuCommandLine.h"

namespace {

const char kUsage[] =
    "usage: update-fixture write-data FILE [standard|no-second-list|third-missing|too-large|\n"
    "                                       old-layout]\n"
    "       update-fixture handheld-options      (the handheld-emu options of the fixture)\n"
    "       update-fixture check-memory FILE updated|untouched|second-run closing|no-closing\n"
    "                                   [HANDHELD-EMU OPTIONS the handheld was served with]\n"
    "       update-fixture record FILE           (version and character of blocks 509, 511)\n";

std::vector<uint8_t> ReadMemory(const char* path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The fixture's handheld with the handheld-emu options given after it.
bool ParseHandheld(int argc, char** argv, HandheldOptions* options) {
    static char program[] = "update-fixture", mount[] = "-", handheld[] = "--handheld",
                name[] = "h";
    std::vector<char*> arguments{program, mount, handheld, name};
    arguments.insert(arguments.end(), argv, argv + argc);
    EmuCommandLine line;
    std::string error;
    if (!ParseEmuCommandLine(static_cast<int>(arguments.size()), arguments.data(), &line, &error) ||
        line.handhelds.size() != 1) {
        std::fprintf(stderr, "update-fixture: %s\n", error.c_str());
        return false;
    }
    *options = line.handhelds[0].options;
    return true;
}

int CheckMemoryCommand(int argc, char** argv) {
    const std::string state = argv[3];
    if (state != "updated" && state != "untouched" && state != "second-run") return 2;
    std::vector<std::string> fixtureOptions{"--version", "", "--group", "", "--number", ""};
    const HandheldOptions fixture = FixtureHandheld();
    fixtureOptions[1] = std::to_string(fixture.versionWord);
    fixtureOptions[3] = std::to_string(fixture.characterGroup);
    fixtureOptions[5] = std::to_string(fixture.characterNumber);
    std::vector<char*> options;
    for (std::string& option : fixtureOptions) options.push_back(option.data());
    options.insert(options.end(), argv + 5, argv + argc);
    HandheldOptions handheld;
    if (!ParseHandheld(static_cast<int>(options.size()), options.data(), &handheld)) return 2;

    const std::vector<uint8_t> memory = ReadMemory(argv[2]);
    const bool closing = std::strcmp(argv[4], "closing") == 0;
    const std::vector<std::string> problems =
        state == "second-run" ? CheckSecondRunMemory(memory, handheld)
                              : CheckMemory(memory, state == "updated", closing, handheld);
    for (const std::string& problem : problems) std::printf("%s\n", problem.c_str());
    std::printf("memory %s\n", problems.empty() ? "as expected" : "NOT as expected");
    return problems.empty() ? 0 : 1;
}

int RecordCommand(const char* path) {
    const std::vector<uint8_t> bytes = ReadMemory(path);
    HandheldMemory memory;
    if (bytes.size() != HandheldMemory::kSize) {
        std::fprintf(stderr, "update-fixture: %s is not a handheld's memory\n", path);
        return 1;
    }
    std::copy(bytes.begin(), bytes.end(), memory.Bytes());
    for (const uint32_t block : {509u, 511u}) {
        std::printf("block %u: version=0x%03X group=%d number=%d\n", block,
                    memory.VersionWord(block), memory.CharacterGroup(block),
                    memory.CharacterNumber(block));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "write-data" && (argc == 3 || argc == 4)) {
        const std::optional<DataFileDescription> description =
            FixtureDataFileVariant(argc == 4 ? argv[3] : "standard");
        if (!description) {
            std::fprintf(stderr, "update-fixture: no data file variant %s\n", argv[3]);
            return 2;
        }
        const std::vector<uint8_t> bytes = BuildDataFile(*description);
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
    if (command == "check-memory" && argc >= 5) {
        const int rc = CheckMemoryCommand(argc, argv);
        if (rc != 2) return rc;
    }
    if (command == "record" && argc == 3) return RecordCommand(argv[2]);
    std::fprintf(stderr, "%s", kUsage);
    return 2;
}
