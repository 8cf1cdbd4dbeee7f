#include "platform/posix/StandardStreams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

void OpenClosedStandardStreams() {
    for (int stream = STDIN_FILENO; stream <= STDERR_FILENO; ++stream) {
        if (fcntl(stream, F_GETFD) != -1 || errno != EBADF) continue;
        // The lowest free descriptor: this one, as those below it are open by now.
        const int null = open("/dev/null", O_RDWR);
        if (null != stream && null >= 0) close(null);
    }
}
