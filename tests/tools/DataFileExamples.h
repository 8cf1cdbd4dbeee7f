// Small update data files shared by the tool tests.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "device/ByteOrder.h"
#include "engine/DataFileFormat.h"
#include "tools/zdat/DataFileWriter.h"

inline ResourceDescription Resource(uint32_t id, uint32_t block, uint32_t length,
                                    uint8_t seed = 1) {
    ResourceDescription resource{id, block, {}, std::nullopt};
    for (uint32_t i = 0; i < length; ++i) resource.bytes.push_back(static_cast<uint8_t>(seed + i));
    return resource;
}

inline CharacterDescription Character(uint32_t number, std::vector<ResourceDescription> resources,
                                      std::vector<uint32_t> required,
                                      std::vector<uint32_t> second = {}) {
    return CharacterDescription{number, 0xC0DE0000u | number, std::move(resources),
                                std::move(required), std::move(second)};
}

// Well-formed: every group used, tables given out of order so that sorting shows.
inline DataFileDescription SmallDescription() {
    DataFileDescription description;
    description.dataVersion = 0x0250;
    description.reserved = 0xA5A5A5A5u;
    description.groups[0].characters = {
        Character(1, {Resource(0x30, 20, 5000, 7), Resource(0x10, 3, 100, 3)}, {0x10, 0x30},
                  {0x30}),
        Character(0, {Resource(0x20, 3, 4096, 9)}, {0x20}),
    };
    description.groups[1].characters = {Character(0, {}, {}, {})};
    description.groups[2].characters = {
        Character(2, {Resource(0x7, 508, 4096), Resource(0x5, 100, 0)}, {0x5, 0x7}, {0x7}),
        Character(0, {Resource(0x1, 10, 1)}, {0x1}),
        Character(1, {}, {}),
    };
    return description;
}

inline void PatchLe32(std::vector<uint8_t>& file, uint32_t offset, uint32_t value) {
    StoreLe32(file.data() + offset, value);
}

// n characters in every group's one table, all naming one table of n entries that all name
// one list of n ids: a reader that follows every reference visits 3 * n^3 list ids.
inline std::vector<uint8_t> SharedStructuresFile(uint32_t n) {
    const uint32_t characters = kDataHeaderSize;
    const uint32_t entries = characters + n * kDataRecordSize;
    const uint32_t list = entries + n * kDataRecordSize;
    std::vector<uint8_t> file(list + kListCountSize + n * kListIdSize);
    PatchLe32(file, kHeaderDataVersionField, 0x250);
    for (size_t group = 0; group < size_t{kCharacterGroupCount}; ++group) {
        PatchLe32(file, CharacterCountField(group), n);
        PatchLe32(file, CharacterTableField(group), characters);
    }
    PatchLe32(file, list, n);
    for (uint32_t k = 0; k < n; ++k) {
        const uint32_t record = characters + k * kDataRecordSize;
        PatchLe32(file, record + kCharacterNumberField, k);
        PatchLe32(file, record + kCharacterEntryCountField, n);
        PatchLe32(file, record + kCharacterEntryTableField, entries);
        const uint32_t entry = entries + k * kDataRecordSize;
        PatchLe32(file, entry + kEntryIdField, k % 2 == 0 ? kRequiredListId : kSecondListId);
        PatchLe32(file, entry + kEntryDataOffsetField, list);
        PatchLe32(file, list + kListCountSize + k * kListIdSize, 0x10);
    }
    return file;
}
