// Where each field of the update data file sits, and bounded reads of its records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "app/ByteOrder.h"
#include "engine/DataFile.h"
#include "tools/zdat/BoundedView.h"

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

constexpr uint64_t TableBytes(uint32_t count) {
    return uint64_t{count} * kDataRecordSize;
}
constexpr uint64_t ListBytes(uint32_t count) {
    return kListCountSize + uint64_t{count} * kListIdSize;
}

inline std::optional<CharacterRecord> ReadCharacterRecord(const BoundedView& view,
                                                          uint64_t offset) {
    const uint8_t* p = view.At(offset, kDataRecordSize);
    if (p == nullptr) return std::nullopt;
    return CharacterRecord{LoadLe32(p + kCharacterNumberField),
                           LoadLe32(p + kCharacterEntryCountField),
                           LoadLe32(p + kCharacterEntryTableField)};
}

inline std::optional<ResourceEntry> ReadResourceEntry(const BoundedView& view, uint64_t offset) {
    const uint8_t* p = view.At(offset, kDataRecordSize);
    if (p == nullptr) return std::nullopt;
    return ResourceEntry{LoadLe32(p + kEntryIdField), LoadLe32(p + kEntryBlockField),
                         LoadLe32(p + kEntryDataOffsetField), LoadLe32(p + kEntryDataLengthField)};
}

inline bool IsListId(uint32_t id) {
    return id == kRequiredListId || id == kSecondListId;
}
