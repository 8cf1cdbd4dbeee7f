// Builds update data files from a description: for the zdat tool, the sample
// data and every test that needs a data file.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

struct ResourceDescription {
    uint32_t id = 0;
    uint32_t destinationBlock = 0;
    std::vector<uint8_t> bytes;
    // Stored as the entry's length instead of bytes.size(), to describe broken files.
    std::optional<uint32_t> lengthOverride;
};

struct CharacterDescription {
    uint32_t number = 0;
    uint32_t tag = 0;  // the record's first field, which the update never reads
    std::vector<ResourceDescription> resources;
    // Absent lists get no entry at all.
    std::optional<std::vector<uint32_t>> requiredList;
    std::optional<std::vector<uint32_t>> secondList;
};

struct GroupDescription {
    std::vector<CharacterDescription> characters;
    // Stored as the group's count instead of characters.size().
    std::optional<uint32_t> countOverride;
};

struct DataFileDescription {
    uint32_t dataVersion = 0;
    uint32_t reserved = 0;
    std::array<GroupDescription, 3> groups;
    // Off: tables keep the given order, to describe unsorted files.
    bool sortKeys = true;
};

// Where the writer put each structure, so tests can damage a file precisely.
struct DataFileLayout {
    struct Character {
        uint32_t recordOffset = 0;
        uint32_t entryTableOffset = 0;
        // Indexed like CharacterDescription::resources, then the required and second list entries
        // (only those present). A list entry's data offset is its list's offset.
        std::vector<uint32_t> entryOffsets;
        std::vector<uint32_t> dataOffsets;
        std::optional<uint32_t> requiredListOffset;
        std::optional<uint32_t> secondListOffset;
        // The list entries' own records, present when the list is.
        std::optional<uint32_t> requiredEntryOffset;
        std::optional<uint32_t> secondEntryOffset;
    };
    std::array<uint32_t, 3> tableOffsets{};
    std::array<std::vector<Character>, 3> characters;  // in the order given, not the sorted one
};

// Header, character tables, entry tables, counted lists, then resource bytes, with no gaps.
// Returns an empty vector (and an empty layout) when the file would pass 4 GiB, which
// 32-bit offsets cannot address.
std::vector<uint8_t> BuildDataFile(const DataFileDescription& description,
                                   DataFileLayout* layout = nullptr);
