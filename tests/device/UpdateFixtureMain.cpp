// For scripts that run the update outside a test program: writes the fixture's data file,
// and checks a handheld memory file afterwards.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "UpdateFixture.h"
#include "emulator/HandheldMemory.h"
#include "tools/handheld-emu/EmuCommandLine.h"

namespace {

std::vector<uint8_t> ReadMemory(const char* path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The fixture's handheld with the handheld-emu options the handheld was served with.
bool ParseHandheld(const std::vector<std::string>& served, HandheldOptions* options) {
    const HandheldOptions fixture = FixtureHandheld();
    std::vector<std::string> arguments = {
        "update-fixture", "-",
        "--handheld",     "h",
        "--version",      std::to_string(fixture.versionWord),
        "--group",        std::to_string(fixture.characterGroup),
        "--number",       std::to_string(fixture.characterNumber)};
    arguments.insert(arguments.end(), served.begin(), served.end());
    std::vector<const char*> argv;
    argv.reserve(arguments.size());
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    EmuCommandLine line;
    if (ParseEmuCommandLine(static_cast<int>(argv.size()), argv.data(), &line, std::cout,
                            std::cerr) ||
        line.handhelds.size() != 1) {
        return false;
    }
    *options = line.handhelds[0].options;
    return true;
}

int CheckMemoryCommand(const std::string& path, const std::string& state, bool closing,
                       const std::vector<std::string>& served) {
    HandheldOptions handheld;
    if (!ParseHandheld(served, &handheld)) return 2;
    const std::vector<uint8_t> memory = ReadMemory(path.c_str());
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

int WriteDataCommand(const std::string& path, const std::string& variant) {
    const std::optional<DataFileDescription> description = FixtureDataFileVariant(variant);
    if (!description) {
        std::fprintf(stderr, "update-fixture: no data file variant %s\n", variant.c_str());
        return 2;
    }
    const std::vector<uint8_t> bytes = BuildDataFile(*description);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return file.flush() ? 0 : 1;
}

}  // namespace

// CLI11 throws from setting up its options only when they are set up wrongly.
// NOLINTNEXTLINE(bugprone-exception-escape)
int main(int argc, char** argv) {
    CLI::App app(
        "For scripts that run the update outside a test program: writes the fixture's data "
        "file, and checks a handheld memory file afterwards.",
        "update-fixture");
    app.require_subcommand(1);
    std::string path;
    std::string variant = "standard";
    std::string state;
    std::string closing;
    CLI::App* write = app.add_subcommand("write-data", "Write the fixture's data file");
    write->add_option("file", path)->required();
    write->add_option("variant", variant,
                      "standard, no-second-list, third-missing, too-large or old-layout");
    CLI::App* options =
        app.add_subcommand("handheld-options", "The handheld-emu options of the fixture");
    CLI::App* check = app.add_subcommand(
        "check-memory", "Check a memory file; the handheld-emu options it was served with follow");
    check->add_option("file", path)->required();
    check->add_option("state", state)
        ->required()
        ->check(CLI::IsMember({"updated", "untouched", "second-run"}));
    check->add_option("closing", closing)
        ->required()
        ->check(CLI::IsMember({"closing", "no-closing"}));
    check->allow_extras();
    CLI::App* record = app.add_subcommand("record", "Version and character of blocks 509, 511");
    record->add_option("file", path)->required();
    CLI11_PARSE(app, argc, argv);

    if (write->parsed()) return WriteDataCommand(path, variant);
    if (options->parsed()) {
        const HandheldOptions fixture = FixtureHandheld();
        std::printf("--version %u --group %d --number %d\n", fixture.versionWord,
                    fixture.characterGroup, fixture.characterNumber);
        return 0;
    }
    if (check->parsed())
        return CheckMemoryCommand(path, state, closing == "closing", check->remaining());
    return RecordCommand(path.c_str());
}
