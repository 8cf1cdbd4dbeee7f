// Bounded look-ups over the read-only bytes of the update data file.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/SystemRecord.h"

constexpr uint32_t kRequiredListId = 0xFF000000u;
constexpr uint32_t kSecondListId = 0xFF000001u;

constexpr size_t kDataHeaderSize = 32;
constexpr size_t kDataRecordSize = 16;
constexpr int32_t kCharacterGroupCount = 3;
constexpr size_t kCharacterCountsOffset = 8;
constexpr size_t kCharacterTablesOffset = 20;

// An update stamps the data version's low 16 bits into the handheld, and no run accepts a
// version word above kHighestVersion: a higher data version would lock every handheld it
// updates out of later updates, or (above 0xFFFF) stamp a lower version than its own.
constexpr uint32_t kHighestDataVersion = kHighestVersion;
// A handheld updates only from a version word of kLowestVersion or more to one below the data
// version: a data version at or below it updates nothing, as an all-zero file would claim.
constexpr uint32_t kLowestDataVersion = kLowestVersion + 1;
// Every offset is 32 bits, and what starts at the last of them is at most a resource the
// image can take: bytes beyond are no part of any update.
constexpr uint64_t kLargestDataFile = (uint64_t{1} << 32) + (uint64_t{1} << 21);

struct CharacterRecord {
    uint32_t number;
    uint32_t entryCount;
    uint32_t entryTableOffset;
};

struct ResourceEntry {
    uint32_t id;
    uint32_t destinationBlock;
    uint32_t dataOffset;
    uint32_t dataLength;
};

// A counted list of resource ids inside the file; Id(k) is valid for k < count.
struct IdList {
    uint32_t count;
    const uint8_t* ids;
    uint32_t Id(uint32_t k) const;
};

// OutOfBounds: the structure asked for does not lie wholly inside the file.
enum class Lookup { Found, Absent, OutOfBounds };

class DataFile {
public:
    DataFile(const uint8_t* bytes, size_t size) : bytes(bytes), size(size) {}

    bool HasHeader() const { return size >= kDataHeaderSize; }
    // A header whose data version can update a handheld, which then keeps it: the file an
    // update may use.
    bool HasUsableHeader() const {
        return HasHeader() && uint64_t{size} <= kLargestDataFile &&
               DataVersion() >= kLowestDataVersion && DataVersion() <= kHighestDataVersion;
    }
    // Needs HasHeader().
    uint32_t DataVersion() const;

    // group and number are the handheld's signed 16-bit fields widened with their sign.
    Lookup FindCharacter(int32_t group, int32_t number, CharacterRecord* found) const;
    Lookup FindEntry(const CharacterRecord& character, uint32_t id, ResourceEntry* found) const;
    Lookup ReadList(const ResourceEntry& listEntry, IdList* list) const;
    // The resource's bytes, or null when they pass the end of the file.
    const uint8_t* ResourceBytes(const ResourceEntry& entry) const;

private:
    bool Contains(uint64_t offset, uint64_t length) const;
    Lookup SearchTable(uint32_t tableOffset, uint32_t count, size_t keyOffset, uint32_t key,
                       const uint8_t** record) const;

    const uint8_t* bytes;
    size_t size;
};
