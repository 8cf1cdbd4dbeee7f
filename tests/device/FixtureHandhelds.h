// Handhelds described as handheld-emu describes them: the fixture's handheld with these
// options on top, and a further one for each --handheld NAME, as scripts/served-handhelds
// serves them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "emulator/HandheldOptions.h"

// Empty when the options do not parse.
std::optional<std::vector<HandheldOptions>> FixtureHandhelds(
    const std::vector<std::string>& options);
