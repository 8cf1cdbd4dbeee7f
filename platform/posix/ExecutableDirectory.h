// Where the running executable lies, for the files that travel beside it.
#pragma once

#include <string>

// "." when the system does not say.
std::string ExecutableDirectory();

// The update data file a program finds by itself: beside it, as in a copied folder, or else
// in share/zumbiko-update next to the program's bin directory, where the Linux package puts
// it. The one beside it when neither exists.
std::string DefaultDataFilePath();
