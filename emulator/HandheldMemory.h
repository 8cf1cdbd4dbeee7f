// The emulated handheld's memory: blocks 0 to 511 and the closing block 512.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "device/MemoryBlocks.h"

struct HandheldOptions;

class HandheldMemory {
public:
    static constexpr uint32_t kBlocks = kClosingBlock + 1;
    static constexpr size_t kSize = size_t{kBlocks} * kBlockSize;
    static constexpr uint32_t kRecordOffset = 0x960;
    static constexpr uint32_t kVersionWordOffset = kRecordOffset + 0x44;
    static constexpr uint32_t kGroupOffset = kRecordOffset + 0x46;
    static constexpr uint32_t kNumberOffset = kRecordOffset + 0x48;

    HandheldMemory() : bytes(kSize) {}

    // A used handheld: every block holds a pattern of its own, so that a block the update
    // rewrites shows; the system records carry the options' version and character.
    void MakeFresh(const HandheldOptions& options);
    // Pattern byte that MakeFresh gives block b.
    static uint8_t FillByte(uint32_t block) { return static_cast<uint8_t>(block % 251 + 1); }

    bool Load(const std::string& path);
    bool Save(const std::string& path) const;

    uint8_t* Block(uint32_t block) { return bytes.data() + size_t{block} * kBlockSize; }
    const uint8_t* Block(uint32_t block) const { return bytes.data() + size_t{block} * kBlockSize; }
    uint8_t* Bytes() { return bytes.data(); }
    uint16_t VersionWord(uint32_t systemBlock) const;
    int16_t CharacterGroup(uint32_t systemBlock) const;
    int16_t CharacterNumber(uint32_t systemBlock) const;

private:
    std::vector<uint8_t> bytes;
};
