// The handheld's memory as transfers address it: blocks of 4096 bytes, numbered from 0.
#pragma once

#include <cstdint>

constexpr uint32_t kBlockSize = 4096;
// One past the 512 blocks an update mirrors; the handheld takes a zero block there as the end
// of an update.
constexpr uint32_t kClosingBlock = 512;
