#include "tools/zdat/DataFileWriter.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "device/ByteOrder.h"
#include "tools/zdat/DataFileRecords.h"

namespace {

struct PlannedEntry {
    uint32_t id;
    uint32_t destinationBlock;
    uint32_t dataOffset;
    uint32_t dataLength;
    size_t layoutIndex;  // where its offsets go in DataFileLayout::Character
};

uint64_t ListSize(const std::optional<std::vector<uint32_t>>& list) {
    return list ? kListCountSize + uint64_t{list->size()} * kListIdSize : 0;
}

size_t EntryCount(const CharacterDescription& character) {
    return character.resources.size() + (character.requiredList ? 1 : 0) +
           (character.secondList ? 1 : 0);
}

// Lays the file out section by section; each cursor is the next free byte of its section.
class Writer {
public:
    Writer(const DataFileDescription& description, DataFileLayout& layout)
        : description(description), layout(layout) {}

    // False when the file would not be addressable with 32-bit offsets.
    bool Plan();
    std::vector<uint8_t> Write();

private:
    void WriteGroup(size_t group);
    void WriteCharacter(const CharacterDescription& character, DataFileLayout::Character& placed);
    uint32_t WriteList(const std::vector<uint32_t>& ids);
    void Store(uint64_t offset, uint32_t value) { StoreLe32(file.data() + offset, value); }

    const DataFileDescription& description;
    DataFileLayout& layout;
    std::vector<uint8_t> file;
    uint64_t totalSize = 0;
    uint64_t tableCursor = kDataHeaderSize;
    uint64_t entryCursor = 0;
    uint64_t listCursor = 0;
    uint64_t dataCursor = 0;
};

bool Writer::Plan() {
    uint64_t records = 0;
    uint64_t entries = 0;
    uint64_t lists = 0;
    uint64_t data = 0;
    for (const GroupDescription& group : description.groups) {
        records += group.characters.size();
        for (const CharacterDescription& character : group.characters) {
            entries += EntryCount(character);
            lists += ListSize(character.requiredList) + ListSize(character.secondList);
            for (const ResourceDescription& resource : character.resources)
                data += resource.bytes.size();
        }
    }
    entryCursor = kDataHeaderSize + records * kDataRecordSize;
    listCursor = entryCursor + entries * kDataRecordSize;
    dataCursor = listCursor + lists;
    totalSize = dataCursor + data;
    return totalSize <= std::numeric_limits<uint32_t>::max();
}

std::vector<uint8_t> Writer::Write() {
    file.assign(totalSize, 0);
    Store(kHeaderDataVersionField, description.dataVersion);
    Store(kHeaderReservedField, description.reserved);
    for (size_t group = 0; group < description.groups.size(); ++group) WriteGroup(group);
    return std::move(file);
}

void Writer::WriteGroup(size_t group) {
    const GroupDescription& given = description.groups[group];
    const size_t count = given.characters.size();
    layout.tableOffsets[group] = static_cast<uint32_t>(tableCursor);
    Store(CharacterCountField(group), given.countOverride.value_or(static_cast<uint32_t>(count)));
    Store(CharacterTableField(group), static_cast<uint32_t>(tableCursor));

    std::vector<size_t> order(count);
    for (size_t i = 0; i < count; ++i) order[i] = i;
    if (description.sortKeys) {
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            return given.characters[a].number < given.characters[b].number;
        });
    }

    std::vector<DataFileLayout::Character>& placed = layout.characters[group];
    placed.resize(count);
    for (size_t position = 0; position < count; ++position) {
        placed[order[position]].recordOffset =
            static_cast<uint32_t>(tableCursor + position * kDataRecordSize);
    }
    tableCursor += count * kDataRecordSize;

    for (size_t i = 0; i < count; ++i) WriteCharacter(given.characters[i], placed[i]);
}

void Writer::WriteCharacter(const CharacterDescription& character,
                            DataFileLayout::Character& placed) {
    std::vector<PlannedEntry> entries;
    entries.reserve(EntryCount(character));
    for (const ResourceDescription& resource : character.resources) {
        const auto offset = static_cast<uint32_t>(dataCursor);
        if (!resource.bytes.empty()) {
            std::memcpy(file.data() + dataCursor, resource.bytes.data(), resource.bytes.size());
        }
        dataCursor += resource.bytes.size();
        const uint32_t length =
            resource.lengthOverride.value_or(static_cast<uint32_t>(resource.bytes.size()));
        entries.push_back({resource.id, resource.destinationBlock, offset, length, entries.size()});
    }
    // Only the data offset of a list entry is read; block and length stay 0.
    if (character.requiredList) {
        placed.requiredListOffset = WriteList(*character.requiredList);
        entries.push_back({kRequiredListId, 0, *placed.requiredListOffset, 0, entries.size()});
    }
    if (character.secondList) {
        placed.secondListOffset = WriteList(*character.secondList);
        entries.push_back({kSecondListId, 0, *placed.secondListOffset, 0, entries.size()});
    }

    placed.entryOffsets.resize(entries.size());
    placed.dataOffsets.resize(entries.size());
    for (const PlannedEntry& entry : entries)
        placed.dataOffsets[entry.layoutIndex] = entry.dataOffset;

    if (description.sortKeys) {
        std::stable_sort(entries.begin(), entries.end(),
                         [](const PlannedEntry& a, const PlannedEntry& b) { return a.id < b.id; });
    }

    placed.entryTableOffset = static_cast<uint32_t>(entryCursor);
    for (const PlannedEntry& entry : entries) {
        const auto offset = static_cast<uint32_t>(entryCursor);
        placed.entryOffsets[entry.layoutIndex] = offset;
        if (entry.id == kRequiredListId && entry.layoutIndex >= character.resources.size()) {
            placed.requiredEntryOffset = offset;
        } else if (entry.id == kSecondListId && entry.layoutIndex >= character.resources.size()) {
            placed.secondEntryOffset = offset;
        }
        Store(entryCursor + kEntryIdField, entry.id);
        Store(entryCursor + kEntryBlockField, entry.destinationBlock);
        Store(entryCursor + kEntryDataOffsetField, entry.dataOffset);
        Store(entryCursor + kEntryDataLengthField, entry.dataLength);
        entryCursor += kDataRecordSize;
    }

    const uint64_t record = placed.recordOffset;
    Store(record + kCharacterTagField, character.tag);
    Store(record + kCharacterNumberField, character.number);
    Store(record + kCharacterEntryCountField, static_cast<uint32_t>(entries.size()));
    Store(record + kCharacterEntryTableField, placed.entryTableOffset);
}

uint32_t Writer::WriteList(const std::vector<uint32_t>& ids) {
    const auto offset = static_cast<uint32_t>(listCursor);
    Store(listCursor, static_cast<uint32_t>(ids.size()));
    listCursor += kListCountSize;
    for (const uint32_t id : ids) {
        Store(listCursor, id);
        listCursor += kListIdSize;
    }
    return offset;
}

}  // namespace

std::vector<uint8_t> BuildDataFile(const DataFileDescription& description, DataFileLayout* layout) {
    DataFileLayout local;
    DataFileLayout& placed = layout != nullptr ? *layout : local;
    placed = DataFileLayout{};
    Writer writer(description, placed);
    if (!writer.Plan()) return {};
    return writer.Write();
}
