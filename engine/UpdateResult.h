// The outcome of one update run and the message that reports it.
#pragma once

#include <cstdint>

#include "ui/core/MessageTable.h"

enum class UpdateResult : int32_t {
    Updated = 0,
    NoHandheld = 2,
    SeveralHandhelds = 3,
    DataFileError = 4,
    ReadError = 5,
    WrongVersion = 6,
    AlreadyUpdated = 7,
    CharacterNotSupported = 8,
    DataMissing = 9,
    DataTooLarge = 10,
    WriteError = 11,
    // Numbered as the command line's exit codes for the same causes.
    NoRights = 13,
    DriveInUse = 14,
};

struct ResultMessage {
    MessageId id;
    MessageKind kind;
    // Whether the run ends by writing the closing block to the handheld.
    bool writesClosingBlock;
};

ResultMessage MessageForResult(UpdateResult result);
