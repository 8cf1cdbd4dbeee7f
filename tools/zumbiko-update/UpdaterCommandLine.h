// The command line of zumbiko-update, read with CLI11.
#pragma once

#include <optional>
#include <ostream>

#include "Updater.h"

// Whether the locale asks for German: the first of LC_ALL, LC_MESSAGES and LANG that is set
// and not empty decides. Null stands for unset.
bool LocaleIsGerman(const char* lcAll, const char* lcMessages, const char* lang);

// Fills *options; an exit code when the program is to stop at once (help: 0, a mistake:
// kExitUsage, told on err). options->german holds the locale's choice on entry.
std::optional<int> ParseUpdaterCommandLine(int argc, const char* const* argv,
                                           UpdaterOptions* options, std::ostream& out,
                                           std::ostream& err);
