// One handheld and one data file whose update is known, and the checks of the handheld's
// memory after it: shared by the in-process, FUSE and Wine runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "emulator/HandheldOptions.h"
#include "tools/zdat/DataFileWriter.h"

constexpr uint16_t kFixtureOldVersion = 0x240;
constexpr uint16_t kFixtureNewVersion = 0x260;

// Character 1 of group 1, three required resources, block 510 left alone.
DataFileSpec FixtureDataFile();
HandheldOptions FixtureHandheld();

// What the memory must hold afterwards. Updated: resources placed, every other block from 3
// to 511 zero but the system blocks, whose version words carry the new version. Not updated:
// blocks 3 to 511 as the fresh handheld had them. Blocks 0 to 2 never change; the closing
// block is zero exactly when it was to arrive. Empty when all holds.
// The handheld started out fresh with these options.
std::vector<std::string> CheckMemory(const std::vector<uint8_t>& memory, bool updated,
                                     bool closingBlock,
                                     const HandheldOptions& handheld = FixtureHandheld());
