// The handheld and the data files that the benchmarks update it with. Every file carries
// the same character with the same resources, so that only the file's shape differs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "emulator/HandheldOptions.h"
#include "tools/zdat/DataFileWriter.h"

constexpr uint16_t kBenchOldVersion = 0x240;
constexpr uint16_t kBenchNewVersion = 0x260;

HandheldOptions BenchHandheld();
// The same handheld as handheld-emu options.
std::string BenchHandheldEmuOptions();

// charactersPerGroup characters in each of the three groups, each with entriesPerCharacter
// entries of no length, but the updated character, which has benchEntries in all, its 48
// resources (about 600 KiB) among them. paddingBytes more resource bytes that no one needs.
DataFileDescription ShapedDataFile(uint32_t charactersPerGroup, uint32_t entriesPerCharacter,
                                   uint32_t benchEntries, uint32_t paddingBytes = 0);

// A few characters with short tables: the everyday file.
std::vector<uint8_t> TypicalDataFile();
// About this many bytes, padded with unread resource bytes where the tables fall short.
std::vector<uint8_t> DataFileOfAbout(uint64_t bytes);

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);
