// The loop devices of the system and what backs them, as sysfs lists them. The loop driver
// does not claim what it reads from, so an exclusive open cannot tell that a file system is
// mounted through a loop device over the handheld's drive.
#pragma once

#include <string>

#include "platform/posix/FileIdentity.h"

// The first loop device (under devRoot) whose backing file is the file opened, or, for a block
// device, the same device, a partition of it or its disk; empty when none is.
std::string LoopDeviceOver(const FileIdentity& opened, const std::string& sysfsRoot,
                           const std::string& devRoot);
