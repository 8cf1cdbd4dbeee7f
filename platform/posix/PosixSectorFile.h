// A block device or file opened as a handheld's raw volume.
#pragma once

#include <memory>

#include "device/SectorChannel.h"

// Read-write, unbuffered where the file system allows it; null when it cannot be opened.
std::unique_ptr<SectorChannel> OpenSectorFile(const char* path);
// The descriptor as OpenSectorFile opens it, with flags added; -1 and errno on failure.
int OpenUnbuffered(const char* path, int flags);
// A channel over a descriptor that stays open, and stays its owner's, after the channel.
std::unique_ptr<SectorChannel> SectorChannelOver(int fd);
