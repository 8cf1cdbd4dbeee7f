// The command-line updater's own words, beside the message table's, in English and German.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

enum UpdaterText : uint32_t {
    TxtNoPermission,
    TxtMounted,
    TxtBusy,
    TxtGone,
    TxtSeveralFound,
    TxtNotAHandheld,
    TxtNotADisk,
    TxtCannotOpen,
    TxtCannotRead,
    TxtNoAnswer,
    TxtSectorSize,
    TxtLoopBacked,
    TxtWriteProtected,
    TxtDriveChanged,
    TxtNoRemovableDrive,
    TxtUnread,
    TxtDataFile,
    TxtDataLink,
    TxtDataNotRegular,
    TxtDataUnusable,
    TxtDataVersion,
    TxtDataTooLarge,
    TxtInterrupted,
    TxtCheckDevice,
    TxtCheckVersion,
    TxtCheckOldLayout,
    TxtCheckCharacter,
    TxtCheckNoCharacter,
    TxtCheckResources,
    TxtCheckResource,
    TxtCheckResourceMissing,
    TxtCheckResourceTooLarge,
    TxtCheckWriteBack,
    TxtCheckNothingSent,
    TxtCheckCommandsSent,
    TxtCheckOutcome,
    TxtCheckReady,
    kUpdaterTextCount,
};

// In the language of languageIndex; printf formats, ASCII only.
const char* UpdaterTextOf(UpdaterText id);
// Prints the text with its arguments and a line end.
template <typename... Arguments>
void Say(std::FILE* stream, UpdaterText id, Arguments... arguments) {
    if constexpr (sizeof...(Arguments) == 0) {
        std::fputs(UpdaterTextOf(id), stream);
    } else {
        std::fprintf(stream, UpdaterTextOf(id), arguments...);
    }
    std::fputc('\n', stream);
    std::fflush(stream);
}

// The word as a shell reads it back: as it is when that is safe, else in single quotes.
std::string ShellQuoted(const std::string& word);
