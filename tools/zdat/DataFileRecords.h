// Bounded reads of the update data file's records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "device/ByteOrder.h"
#include "engine/DataFile.h"
#include "engine/DataFileFormat.h"
#include "tools/zdat/BoundedView.h"
#include "tools/zdat/HexText.h"

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
    return DecodeCharacterRecord(p);
}

inline std::optional<ResourceEntry> ReadResourceEntry(const BoundedView& view, uint64_t offset) {
    const uint8_t* p = view.At(offset, kDataRecordSize);
    if (p == nullptr) return std::nullopt;
    return DecodeResourceEntry(p);
}

inline bool IsListId(uint32_t id) {
    return id == kRequiredListId || id == kSecondListId;
}

// How reports and listings name a character.
inline std::string CharacterWhere(size_t group, uint32_t number, uint64_t recordOffset) {
    return "group " + std::to_string(group) + ", character " + std::to_string(number) +
           " (record at " + HexText(recordOffset) + ")";
}
