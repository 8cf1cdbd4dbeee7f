// A block device or file opened as a handheld's raw volume.
#pragma once

#include <memory>

#include "device/SectorChannel.h"

// Read-write, unbuffered where the file system allows it; null when it cannot be opened.
std::unique_ptr<SectorChannel> OpenSectorFile(const char* path);
