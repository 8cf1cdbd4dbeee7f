// For scripts that run the update outside a test program: writes the fixture's data file,
// checks a handheld memory file afterwards, and prints the texts the program shows.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FixtureHandhelds.h"
#include "UpdateFixture.h"
#include "emulator/HandheldMemory.h"
#include "ui/core/MessageTable.h"

namespace {

std::vector<uint8_t> ReadMemory(const char* path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

int CheckMemoryCommand(const std::string& path, const std::string& state, bool closing,
                       const std::vector<std::string>& served) {
    const std::optional<std::vector<HandheldOptions>> handhelds = FixtureHandhelds(served);
    if (!handhelds || handhelds->size() != 1) return 2;
    const HandheldOptions& handheld = handhelds->front();
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

// As the UI driver prints a text: line ends as \n, an id where the text has its directive.
int MessageCommand(uint32_t id, const std::string& language, const std::string& reported) {
    if (id >= kMessageCount) return 2;
    languageIndex = language == "de" ? kLanguageGerman : kLanguageEnglish;
    std::string text;
    for (const wchar_t* c = MessageText(static_cast<MessageId>(id)); *c != 0; ++c) {
        if (*c == L'\n') {
            text += "\\n";
        } else if (*c == L'%' && std::wcsncmp(c, L"%08X", 4) == 0) {
            text += reported;
            c += 3;
        } else {
            text += static_cast<char>(*c);
        }
    }
    std::printf("%s\n", text.c_str());
    return 0;
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
    write->add_option(
        "variant", variant,
        "standard, no-required-list, no-second-list, third-missing, too-large or old-layout");
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
    uint32_t id = 0;
    std::string language = "en";
    std::string reported;
    CLI::App* message =
        app.add_subcommand("message", "A message's text, as the UI driver shows it");
    message->add_option("id", id)->required();
    message->add_option("language", language)->check(CLI::IsMember({"en", "de"}));
    message->add_option("reported", reported, "Eight hexadecimal digits for the text's id");
    CLI11_PARSE(app, argc, argv);

    if (write->parsed()) return WriteDataCommand(path, variant);
    if (options->parsed()) {
        const HandheldOptions fixture = FixtureHandheld();
        std::printf("--version %u --group %d --number %d\n", fixture.versionWord,
                    fixture.characterGroup, fixture.characterNumber);
        return 0;
    }
    if (message->parsed()) return MessageCommand(id, language, reported);
    if (check->parsed())
        return CheckMemoryCommand(path, state, closing == "closing", check->remaining());
    return RecordCommand(path.c_str());
}
