// The program's report texts, each in English and German.
#pragma once

#include <cstdint>

enum class MessageKind : uint32_t {
    Error = 0x10,
    Warning = 0x30,
    Information = 0x40,
};

enum MessageId : uint32_t {
    MsgLanguageName = 0,
    MsgUpdated = 1,
    MsgNoDevice = 2,
    MsgManyDevices = 3,
    MsgDataFileError = 4,
    MsgOldHandheld = 5,
    MsgReadError = 6,
    MsgAlreadyUpdated = 7,
    MsgCharacterUnsupported = 8,
    MsgDataMissing = 9,
    MsgNoRoom = 10,
    MsgWriteError = 11,
    MsgDoNotRemove = 12,
    MsgDriveInUse = 13,
    MsgNeedsAdministrator = 14,
    // Not a report: what Windows shows for the program while it holds off a shutdown.
    MsgShutdownReason = 15,
};
constexpr uint32_t kMessageCount = 16;

constexpr int32_t kLanguageEnglish = 1;
constexpr int32_t kLanguageGerman = 4;

// Set by the language commands; 1 until the user picks.
extern int32_t languageIndex;

// The text of a message in the current language. Callers pass constant ids only.
const wchar_t* MessageText(MessageId id);
