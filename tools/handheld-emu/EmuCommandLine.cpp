#include "EmuCommandLine.h"

#include <functional>

#include "tools/CommandLine.h"

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

// An option that sets one field of the handheld named last.
template <typename Value, typename Field>
CLI::Option* Set(CLI::App& app, EmuCommandLine& line, const char* name,
                 Field HandheldOptions::*field, const char* value, const char* help) {
    return HandheldOption<Value>(
               app, line, name, [field](HandheldOptions& o, const Value& v) { o.*field = v; }, help)
        ->option_text(value);
}

void AddHandheldOptions(CLI::App& app, EmuCommandLine& line) {
    Set<std::string>(app, line, "--memory", &HandheldOptions::memoryFile, "FILE",
                     "Memory file: loaded if it holds 513 blocks, else made fresh;\n"
                     "saved after every write transaction and at exit");
    Set<uint16_t>(app, line, "--version", &HandheldOptions::versionWord, "WORD",
                  "Version word of the system records (default 0x250)");
    Set<int16_t>(app, line, "--group", &HandheldOptions::characterGroup, "G", "Character group");
    Set<int16_t>(app, line, "--number", &HandheldOptions::characterNumber, "N", "Character number");
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
    Set<uint32_t>(app, line, "--answer-payload", &HandheldOptions::answerPayload, "BYTES",
                  "Payload bytes of one read answer (default 4096)");
    Set<uint32_t>(app, line, "--answer-length", &HandheldOptions::answerLength, "L",
                  "Send L as every answer length");
    Set<uint32_t>(app, line, "--fail-op", &HandheldOptions::failOperation, "N",
                  "Sector operation N (from 1) fails")
        ->check(CLI::PositiveNumber);
    Set<uint32_t>(app, line, "--vanish-after", &HandheldOptions::vanishAfterWindows, "K",
                  "After K window transfers every operation fails");
    Set<uint32_t>(app, line, "--byte-rate", &HandheldOptions::bytesPerSecond, "BYTES",
                  "Move at most BYTES per second")
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
    if (const auto stop = ParseCommandLine(app, argc, argv, out, err, 2)) return stop;
    Current(*line);
    std::string bad;
    if (!NamesAreFileNames(line->handhelds, &bad)) {
        err << "handheld-emu: bad or repeated handheld name: " << bad << "\n";
        return 2;
    }
    return std::nullopt;
}
