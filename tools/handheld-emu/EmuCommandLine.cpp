#include "EmuCommandLine.h"

#include <CLI/CLI.hpp>
#include <functional>

namespace {

const char kDescription[] =
    "Serves emulated handhelds as files MOUNTPOINT/NAME, each a raw volume of 512-byte\n"
    "sectors. Stops and unmounts on SIGINT or SIGTERM.";
const char kFooter[] =
    "The handheld options apply to the handheld named last with --handheld; before the first\n"
    "--handheld, to one named \"handheld\", which is also served when none is named.";

// The handheld that options apply to.
HandheldOptions& Current(EmuCommandLine& line) {
    if (line.handhelds.empty()) line.handhelds.push_back({"handheld", {}});
    return line.handhelds.back().options;
}

// Each use applies at once, in command-line order, to the handheld named last.
template <typename Value>
CLI::Option* HandheldOption(CLI::App& app, EmuCommandLine& line, const char* name,
                            std::function<void(HandheldOptions&, const Value&)> apply,
                            const char* help) {
    return app
        .add_option_function<Value>(
            name, [&line, apply](const Value& value) { apply(Current(line), value); }, help)
        ->trigger_on_parse();
}

void AddHandheldOptions(CLI::App& app, EmuCommandLine& line) {
    HandheldOption<std::string>(
        app, line, "--memory", [](HandheldOptions& o, const std::string& v) { o.memoryFile = v; },
        "Memory file: loaded if it holds 513 blocks, else made fresh;\n"
        "saved after every write transaction and at exit")
        ->option_text("FILE");
    HandheldOption<uint16_t>(
        app, line, "--version", [](HandheldOptions& o, const uint16_t& v) { o.versionWord = v; },
        "Version word of the system records (default 0x250)")
        ->option_text("WORD");
    HandheldOption<int16_t>(
        app, line, "--group", [](HandheldOptions& o, const int16_t& v) { o.characterGroup = v; },
        "Character group")
        ->option_text("G");
    HandheldOption<int16_t>(
        app, line, "--number", [](HandheldOptions& o, const int16_t& v) { o.characterNumber = v; },
        "Character number")
        ->option_text("N");
    HandheldOption<int16_t>(
        app, line, "--old-number", [](HandheldOptions& o, const int16_t& v) { UseOldLayout(o, v); },
        "Older record layout: version 0x201, character number N")
        ->option_text("N");
    HandheldOption<std::string>(
        app, line, "--label",
        [](HandheldOptions& o, const std::string& v) {
            o.label.fill('\0');
            v.copy(o.label.data(), o.label.size());
        },
        "Volume label at byte 43 of sector 0, 11 bytes, zero padded")
        ->option_text("TEXT")
        ->check([](const std::string& v) { return v.size() > 11 ? "more than 11 bytes" : ""; });
    HandheldOption<uint32_t>(
        app, line, "--answer-payload",
        [](HandheldOptions& o, const uint32_t& v) { o.answerPayload = v; },
        "Payload bytes of one read answer (default 4096)")
        ->option_text("BYTES");
    HandheldOption<uint32_t>(
        app, line, "--answer-length",
        [](HandheldOptions& o, const uint32_t& v) { o.answerLength = v; },
        "Send L as every answer length")
        ->option_text("L");
    HandheldOption<uint32_t>(
        app, line, "--fail-op", [](HandheldOptions& o, const uint32_t& v) { o.failOperation = v; },
        "Sector operation N (from 1) fails")
        ->option_text("N")
        ->check(CLI::PositiveNumber);
    HandheldOption<uint32_t>(
        app, line, "--vanish-after",
        [](HandheldOptions& o, const uint32_t& v) { o.vanishAfterWindows = v; },
        "After K window transfers every operation fails")
        ->option_text("K");
    HandheldOption<uint32_t>(
        app, line, "--byte-rate",
        [](HandheldOptions& o, const uint32_t& v) { o.bytesPerSecond = v; },
        "Move at most BYTES per second")
        ->option_text("BYTES")
        ->check(CLI::PositiveNumber);
}

bool NamesAreFileNames(const std::vector<ServedHandheld>& handhelds, std::string* bad) {
    for (size_t i = 0; i < handhelds.size(); ++i) {
        const std::string& name = handhelds[i].name;
        bool repeated = false;
        for (size_t j = 0; j < i; ++j) repeated = repeated || handhelds[j].name == name;
        if (name.empty() || name.find('/') != std::string::npos || repeated) {
            *bad = name;
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<int> ParseEmuCommandLine(int argc, const char* const* argv, EmuCommandLine* line,
                                       std::ostream& out, std::ostream& err) {
    CLI::App app(kDescription, "handheld-emu");
    app.footer(kFooter);
    app.add_option("mountpoint", line->mountPoint, "Where the handhelds' files appear")->required();
    app.add_option("--report", line->reportFile, "Summary of each handheld, kept current")
        ->option_text("FILE");
    app.add_option_function<std::string>(
           "--handheld",
           [line](const std::string& name) {
               line->handhelds.push_back({name, {}});
           },
           "Start another handheld")
        ->option_text("NAME")
        ->trigger_on_parse();
    AddHandheldOptions(app, *line);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return 0;
    } catch (const CLI::ParseError& error) {
        err << "handheld-emu: " << error.what() << "\nTry handheld-emu --help.\n";
        return 2;
    }
    Current(*line);
    std::string bad;
    if (!NamesAreFileNames(line->handhelds, &bad)) {
        err << "handheld-emu: bad or repeated handheld name: " << bad << "\n";
        return 2;
    }
    return std::nullopt;
}
