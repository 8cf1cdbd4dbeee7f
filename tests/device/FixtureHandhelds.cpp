#include "FixtureHandhelds.h"

#include <iostream>

#include "UpdateFixture.h"
#include "tools/handheld-emu/EmuCommandLine.h"

std::optional<std::vector<HandheldOptions>> FixtureHandhelds(
    const std::vector<std::string>& options) {
    const HandheldOptions fixture = FixtureHandheld();
    const std::vector<std::string> start = {"--version", std::to_string(fixture.versionWord),
                                            "--group",   std::to_string(fixture.characterGroup),
                                            "--number",  std::to_string(fixture.characterNumber)};
    std::vector<std::string> arguments = {"fixture", "-", "--handheld", "h"};
    arguments.insert(arguments.end(), start.begin(), start.end());
    for (size_t i = 0; i < options.size(); ++i) {
        arguments.push_back(options[i]);
        if (options[i] == "--handheld" && i + 1 < options.size()) {
            arguments.push_back(options[++i]);
            arguments.insert(arguments.end(), start.begin(), start.end());
        }
    }
    std::vector<const char*> argv;
    argv.reserve(arguments.size());
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    EmuCommandLine line;
    if (ParseEmuCommandLine(static_cast<int>(argv.size()), argv.data(), &line, std::cout,
                            std::cerr)) {
        return std::nullopt;
    }
    std::vector<HandheldOptions> handhelds;
    for (const ServedHandheld& served : line.handhelds) handhelds.push_back(served.options);
    return handhelds;
}
