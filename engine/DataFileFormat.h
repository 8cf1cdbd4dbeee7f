// Where each field of the update data file sits, and how its records decode.
#pragma once

#include <cstddef>
#include <cstdint>

#include "device/ByteOrder.h"
#include "engine/DataFile.h"

constexpr size_t kHeaderDataVersionField = 0;
constexpr size_t kHeaderReservedField = 4;

constexpr size_t kCharacterTagField = 0;
constexpr size_t kCharacterNumberField = 4;
constexpr size_t kCharacterEntryCountField = 8;
constexpr size_t kCharacterEntryTableField = 12;

constexpr size_t kEntryIdField = 0;
constexpr size_t kEntryBlockField = 4;
constexpr size_t kEntryDataOffsetField = 8;
constexpr size_t kEntryDataLengthField = 12;

// A counted list: u32 n, then n u32 ids.
constexpr size_t kListCountSize = 4;
constexpr size_t kListIdSize = 4;

constexpr size_t CharacterCountField(size_t group) {
    return kCharacterCountsOffset + 4 * group;
}
constexpr size_t CharacterTableField(size_t group) {
    return kCharacterTablesOffset + 4 * group;
}

// Both need kDataRecordSize readable bytes at record.
inline CharacterRecord DecodeCharacterRecord(const uint8_t* record) {
    return CharacterRecord{LoadLe32(record + kCharacterNumberField),
                           LoadLe32(record + kCharacterEntryCountField),
                           LoadLe32(record + kCharacterEntryTableField)};
}
inline ResourceEntry DecodeResourceEntry(const uint8_t* record) {
    return ResourceEntry{LoadLe32(record + kEntryIdField), LoadLe32(record + kEntryBlockField),
                         LoadLe32(record + kEntryDataOffsetField),
                         LoadLe32(record + kEntryDataLengthField)};
}
