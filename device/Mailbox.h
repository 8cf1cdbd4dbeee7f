// The handheld's mailbox: fixed sectors of its volume through which memory blocks move.
#pragma once

#include <cstddef>
#include <cstdint>

#include "device/SectorChannel.h"

constexpr uint32_t kCommandSector = 49;
constexpr uint32_t kWriteWindowSector = 51;
constexpr uint32_t kReadWindowSector = 88;
constexpr uint32_t kWindowSectors = 16;
constexpr uint32_t kWindowBytes = kWindowSectors * kSectorSize;

// The first 16 bytes of the command sector; numbers in them are big-endian.
constexpr uint32_t kCommandBytes = 16;
constexpr uint8_t kBeginCommand = 0x80;
constexpr uint8_t kReadCommand = 0x28;
constexpr uint8_t kWriteCommand = 0x2A;
constexpr uint8_t kEndCommand = 0x81;
constexpr uint32_t kCommandBlockOffset = 1;
constexpr uint32_t kCommandCountOffset = 5;

// The first read window opens with the answer length, which counts its own four bytes.
constexpr uint32_t kAnswerLengthBytes = 4;
constexpr uint32_t kFirstWindowPayload = kWindowBytes - kAnswerLengthBytes;

// Sector 0 carries this text and its zero byte in the volume label field.
constexpr uint32_t kIdentificationOffset = 43;
constexpr char kIdentificationText[] = "SITRONIXTM";
constexpr uint32_t kIdentificationBytes = sizeof kIdentificationText;  // with the zero byte

// Whether a volume's first sector, size bytes of it, carries the identification.
bool CarriesIdentification(const uint8_t* sector, size_t size);
