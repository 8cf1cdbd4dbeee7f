#include "engine/SystemRecord.h"

#include "device/ByteOrder.h"

namespace {

struct OldCharacter {
    int16_t oldNumber;
    int16_t group;
    int16_t number;
    uint8_t kindByte;
};

// Characters of the older layout; any other number becomes group 0, number 0.
constexpr OldCharacter kOldCharacters[] = {
    {1, 0, 1, 0x22},
    {4, 2, 0, 0x11},
    {5, 2, 1, 0x11},
    {6, 2, 2, 0x11},
};
constexpr OldCharacter kOtherOldCharacter = {0, 0, 0, 0x11};

const OldCharacter& Converted(int16_t oldNumber) {
    for (const OldCharacter& candidate : kOldCharacters) {
        if (candidate.oldNumber == oldNumber) return candidate;
    }
    return kOtherOldCharacter;
}

}  // namespace

CharacterIdentity OldLayoutCharacter(int16_t oldNumber) {
    const OldCharacter& converted = Converted(oldNumber);
    return {converted.group, converted.number};
}

uint16_t SystemRecord::VersionWord() const {
    return LoadLe16(record + kRecordVersionWord);
}

void SystemRecord::SetVersionWord(uint16_t version) {
    StoreLe16(record + kRecordVersionWord, version);
}

int16_t SystemRecord::CharacterGroup() const {
    return static_cast<int16_t>(LoadLe16(record + kRecordCharacterGroup));
}

int16_t SystemRecord::CharacterNumber() const {
    return static_cast<int16_t>(LoadLe16(record + kRecordCharacterNumber));
}

void SystemRecord::ConvertOldRecord() {
    const OldCharacter& converted = Converted(CharacterNumber());

    SetVersionWord(kLastOldLayoutVersion);
    StoreLe16(record + kRecordCharacterGroup, static_cast<uint16_t>(converted.group));
    StoreLe16(record + kRecordCharacterNumber, static_cast<uint16_t>(converted.number));
    // Fields of the newer layout, fixed values whatever the character.
    StoreLe32(record + 0x98, 0);
    record[0x9C] = 1;
    record[0x9D] = 0;
    record[0x9E] = 0xFF;
    record[0x9F] = converted.kindByte;
    record[0xA0] = 0x11;
    record[0x12D] = 0;
    StoreLe16(record + 0x12E, 0);
}
