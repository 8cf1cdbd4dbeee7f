// The first logical sector of a disk, read as a program that looks at any disk must read it:
// opened read-only, read once, given up on after a time limit, and never from a disc or
// floppy drive. The udev helper reads every disk plugged in this way, and zumbiko-update every
// removable one when it looks for the handheld.
#pragma once

#include <cstdint>

#include "platform/posix/FileIdentity.h"

enum class ProbeVerdict : uint8_t {
    Handheld,
    OtherVolume,
    Refused,     // not a disk, or a disc or floppy drive: never opened
    Unreadable,  // the open or the read failed
    NoAnswer,    // the read did not end within the time limit
};

struct ProbeResult {
    ProbeVerdict verdict = ProbeVerdict::Unreadable;
    int error = 0;  // errno of what failed
};

// A handheld answers within milliseconds; a disk that takes longer is still spinning up or no
// longer answering, and is not a handheld ready for use either way.
constexpr int kProbeSeconds = 5;

// A block device, or a disk image in a regular file. identity, when given, receives what the
// path named when it was read.
ProbeResult ProbeBootSector(const char* path, int seconds = kProbeSeconds,
                            FileIdentity* identity = nullptr);
