// zumbiko-update: the update of a handheld from a Linux command line, through the same engine
// and device link as the Windows program.
#include <stdlib.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <iostream>

#include "Updater.h"
#include "UpdaterCommandLine.h"
#include "platform/posix/StandardStreams.h"

int main(int argc, char** argv) {
    OpenClosedStandardStreams();
    // A reader that went away must not end a run half way: writes to it fail instead.
    std::signal(SIGPIPE, SIG_IGN);
    UpdaterOptions options;
    options.german = LocaleIsGerman(getenv("LC_ALL"), getenv("LC_MESSAGES"), getenv("LANG"));
    if (const auto stop = ParseUpdaterCommandLine(argc, argv, &options, std::cout, std::cerr)) {
        return *stop;
    }
    const int code = RunUpdater(options, stdout, stderr, isatty(STDOUT_FILENO) != 0);
    if (code > kExitSignalBase) {
        // Ends as the signal asked, now that the handheld is safe, so that the shell that
        // sent it knows.
        std::signal(code - kExitSignalBase, SIG_DFL);
        std::raise(code - kExitSignalBase);
    }
    return code;
}
