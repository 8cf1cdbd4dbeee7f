// The command-line updater's own words, beside the message table's, in English and German.
#pragma once

#include <cstdint>
#include <cstdio>

enum UpdaterText : uint32_t {
    TxtNoPermission,
    TxtMounted,
    TxtSeveralFound,
    TxtNotAHandheld,
    TxtCannotOpen,
    TxtNoRemovableDrive,
    TxtDataFile,
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
    TxtCheckNothingWritten,
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
