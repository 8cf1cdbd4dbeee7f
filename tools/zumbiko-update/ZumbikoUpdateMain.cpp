// zumbiko-update: the update of a handheld from a Linux command line, through the same engine
// and device link as the Windows program.
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "Updater.h"
#include "UpdaterCommandLine.h"

int main(int argc, char** argv) {
    UpdaterOptions options;
    options.german = LocaleIsGerman(getenv("LC_ALL"), getenv("LC_MESSAGES"), getenv("LANG"));
    if (const auto stop = ParseUpdaterCommandLine(argc, argv, &options, std::cout, std::cerr)) {
        return *stop;
    }
    return RunUpdater(options, stdout, stderr, isatty(STDOUT_FILENO) != 0);
}
