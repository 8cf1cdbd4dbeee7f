// Where the running executable lies, for the files that travel beside it.
#pragma once

#include <string>

// "." when the system does not say.
std::string ExecutableDirectory();
