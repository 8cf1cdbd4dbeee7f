// One handheld and one data file whose update is known, and the checks of the handheld's
// memory after it: shared by the in-process, FUSE and Wine runs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "emulator/HandheldOptions.h"
#include "tools/zdat/DataFileWriter.h"

constexpr uint16_t kFixtureOldVersion = 0x240;
constexpr uint16_t kFixtureNewVersion = 0x260;

// Character 1 of group 1, three required resources, block 510 left alone.
DataFileDescription FixtureDataFile();
HandheldOptions FixtureHandheld();
// The fixture's data file with one thing changed, for the results a data file decides:
// "no-required-list", "no-second-list", "third-missing" (the third required id has no entry),
// "too-large" (the third required resource passes block 511), "old-layout" (group 2 repeats group
// 1, for old number 5). Empty when the name is not one of these.
std::optional<DataFileDescription> FixtureDataFileVariant(const std::string& name);

// What the memory must hold afterwards. Updated: resources placed, every other block from 3
// to 511 zero but the system blocks, whose version words carry the new version. Not updated:
// blocks 3 to 511 as the fresh handheld had them. Blocks 0 to 2 never change; the closing
// block is zero exactly when it was to arrive. Empty when all holds.
// The handheld started out fresh with these options.
std::vector<std::string> CheckMemory(const std::vector<uint8_t>& memory, bool updated,
                                     bool closingBlock,
                                     const HandheldOptions& handheld = FixtureHandheld());
// After a fixture update of another handheld in the same process, this handheld (of character
// 0 of group 0) was updated: what the first run placed and this run does not fill stays in the
// image and reaches this handheld too.
std::vector<std::string> CheckSecondRunMemory(const std::vector<uint8_t>& memory,
                                              const HandheldOptions& handheld);
