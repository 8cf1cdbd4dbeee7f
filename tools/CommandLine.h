// How a tool reads its command line with CLI11 and tells about it.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <ostream>

// An exit code when the tool is to stop at once: 0 after the help on out, usageCode after the
// mistake on err.
inline std::optional<int> ParseCommandLine(CLI::App& app, int argc, const char* const* argv,
                                           std::ostream& out, std::ostream& err, int usageCode) {
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return 0;
    } catch (const CLI::ParseError& error) {
        err << app.get_name() << ": " << error.what() << "\nTry " << app.get_name() << " --help.\n";
        return usageCode;
    }
    return std::nullopt;
}
