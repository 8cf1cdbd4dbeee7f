// The handheld's system record at byte 0x960 of each system block.
#pragma once

#include <cstdint>

constexpr uint32_t kSystemRecordOffset = 0x960;
constexpr uint32_t kRecordVersionWord = 0x44;
constexpr uint32_t kRecordCharacterGroup = 0x46;
constexpr uint32_t kRecordCharacterNumber = 0x48;

constexpr uint16_t kLowestVersion = 0x200;
constexpr uint16_t kHighestVersion = 0x299;
// Version words up to this one mark the older record layout.
constexpr uint16_t kLastOldLayoutVersion = 0x201;

struct CharacterIdentity {
    int16_t group;
    int16_t number;
};

// The character that a record of the older layout names by its number alone.
CharacterIdentity OldLayoutCharacter(int16_t oldNumber);

// A view of one record inside the device image; it owns nothing.
class SystemRecord {
public:
    explicit SystemRecord(uint8_t* record) : record(record) {}

    uint16_t VersionWord() const;
    void SetVersionWord(uint16_t version);
    int16_t CharacterGroup() const;
    int16_t CharacterNumber() const;

    // A version word that only a record of the newer layout carries.
    bool HasNewerLayout() const {
        const uint16_t version = VersionWord();
        return version > kLastOldLayoutVersion && version <= kHighestVersion;
    }
    // Rewrites a record of the older layout, whose character number alone names the character.
    void ConvertOldRecord();

private:
    uint8_t* record;
};
