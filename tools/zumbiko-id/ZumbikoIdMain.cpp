// zumbiko-id: tells udev whether a disk is a Zumbiko handheld, for the rule that lets the
// user at the seat update it and keeps the desktop from mounting it.
//
//   zumbiko-id DEVICE    prints ZUMBIKO_HANDHELD=1 for a handheld, nothing for another disk
//
// udev runs it as root on every removable disk that comes and goes, whatever that disk
// holds: it reads one sector, writes nothing, and ends within kProbeSeconds.
#include <cstdio>
#include <cstring>

#include "platform/posix/BootSectorProbe.h"
#include "platform/posix/StandardStreams.h"

int main(int argc, char** argv) {
    OpenClosedStandardStreams();
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr,
                     "usage: zumbiko-id DEVICE\n"
                     "Prints ZUMBIKO_HANDHELD=1 when the first sector of DEVICE carries a "
                     "Zumbiko handheld's identification.\n");
        return 2;
    }
    const char* device = argv[1];
    const ProbeResult result = ProbeBootSector(device);
    switch (result.verdict) {
        case ProbeVerdict::Handheld:
            std::printf("ZUMBIKO_HANDHELD=1\n");
            return 0;
        case ProbeVerdict::OtherVolume:
            return 0;
        case ProbeVerdict::Refused:
            std::fprintf(stderr,
                         "zumbiko-id: %s: left alone: not a disk, or a disc or floppy drive\n",
                         device);
            break;
        case ProbeVerdict::Unreadable:
            std::fprintf(stderr, "zumbiko-id: %s: %s\n", device, std::strerror(result.error));
            break;
        case ProbeVerdict::NoAnswer:
            std::fprintf(stderr, "zumbiko-id: %s: no answer within %d s\n", device, kProbeSeconds);
            break;
    }
    return 1;
}
