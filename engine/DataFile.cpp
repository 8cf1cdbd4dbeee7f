#include "engine/DataFile.h"

#include "device/ByteOrder.h"
#include "engine/DataFileFormat.h"

uint32_t IdList::Id(uint32_t k) const {
    return LoadLe32(ids + size_t{k} * kListIdSize);
}

bool DataFile::Contains(uint64_t offset, uint64_t length) const {
    return offset <= size && length <= size - offset;
}

uint32_t DataFile::DataVersion() const {
    return LoadLe32(bytes);
}

// Every lookup probes in this one order, so that a table with a repeated key
// always yields the same record: the middle record is number count/2 of the
// range when the count is odd, count/2 - 1 when even.
Lookup DataFile::SearchTable(uint32_t tableOffset, uint32_t count, size_t keyOffset, uint32_t key,
                             const uint8_t** record) const {
    if (count == 0) return Lookup::Absent;
    if (!Contains(tableOffset, uint64_t{count} * kDataRecordSize)) return Lookup::OutOfBounds;

    const uint8_t* low = bytes + tableOffset;
    uint32_t remaining = count;
    while (remaining >= 2) {
        const uint32_t half = remaining / 2;
        const bool odd = (remaining & 1) != 0;
        const uint32_t middle = odd ? half : half - 1;
        const uint8_t* probe = low + size_t{middle} * kDataRecordSize;
        const uint32_t probeKey = LoadLe32(probe + keyOffset);
        if (key == probeKey) {
            *record = probe;
            return Lookup::Found;
        }
        if (key < probeKey) {
            remaining = middle;
        } else {
            low = probe + kDataRecordSize;
            remaining = half;
        }
    }
    if (remaining == 1 && LoadLe32(low + keyOffset) == key) {
        *record = low;
        return Lookup::Found;
    }
    return Lookup::Absent;
}

Lookup DataFile::FindCharacter(int32_t group, int32_t number, CharacterRecord* found) const {
    if (!HasHeader()) return Lookup::OutOfBounds;
    // A group the file has no table for is a character it does not support.
    if (group < 0 || group >= kCharacterGroupCount) return Lookup::Absent;

    const uint32_t count = LoadLe32(bytes + CharacterCountField(size_t(group)));
    const uint32_t tableOffset = LoadLe32(bytes + CharacterTableField(size_t(group)));
    const uint32_t key = static_cast<uint32_t>(number);
    if (key >= count) return Lookup::Absent;

    const uint8_t* record = nullptr;
    const Lookup lookup = SearchTable(tableOffset, count, kCharacterNumberField, key, &record);
    if (lookup == Lookup::Found) *found = DecodeCharacterRecord(record);
    return lookup;
}

Lookup DataFile::FindEntry(const CharacterRecord& character, uint32_t id,
                           ResourceEntry* found) const {
    const uint8_t* record = nullptr;
    const Lookup lookup =
        SearchTable(character.entryTableOffset, character.entryCount, kEntryIdField, id, &record);
    if (lookup == Lookup::Found) *found = DecodeResourceEntry(record);
    return lookup;
}

Lookup DataFile::ReadList(const ResourceEntry& listEntry, IdList* list) const {
    if (!Contains(listEntry.dataOffset, kListCountSize)) return Lookup::OutOfBounds;
    const uint32_t count = LoadLe32(bytes + listEntry.dataOffset);
    const uint64_t idsOffset = uint64_t{listEntry.dataOffset} + kListCountSize;
    if (!Contains(idsOffset, uint64_t{count} * kListIdSize)) return Lookup::OutOfBounds;
    list->count = count;
    list->ids = bytes + idsOffset;
    return Lookup::Found;
}

const uint8_t* DataFile::ResourceBytes(const ResourceEntry& entry) const {
    if (!Contains(entry.dataOffset, entry.dataLength)) return nullptr;
    return bytes + entry.dataOffset;
}
