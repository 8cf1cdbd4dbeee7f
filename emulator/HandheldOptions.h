// How an emulated handheld starts out and which faults it shows.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Which opens of its volume the host's account is allowed: a limited account may not open a
// volume for writing, or not at all.
enum class HostRights { Full, ReadOnly, None };

struct HandheldOptions {
    // Loaded when it exists with the right size, else made fresh; saved after every
    // write transaction and when the handheld goes away. Empty: memory only.
    std::string memoryFile;

    // The system records of blocks 509 and 511.
    uint16_t versionWord = 0x250;
    int16_t characterGroup = 0;
    int16_t characterNumber = 0;

    // Bytes 43 to 53 of sector 0, the volume label field.
    std::array<char, 11> label = {'S', 'I', 'T', 'R', 'O', 'N', 'I', 'X', 'T', 'M', '\0'};

    // Payload bytes of one answer, from the block asked for onwards.
    uint32_t answerPayload = 4096;
    // Sent as the answer length in place of the true one.
    std::optional<uint32_t> answerLength;

    // Sector operation number N (from 1) fails and changes nothing.
    uint32_t failOperation = 0;
    // After this many window transfers every operation fails, as when the cable is pulled.
    std::optional<uint32_t> vanishAfterWindows;
    // From sector operation number N (from 1) on, the handheld is gone: that operation and
    // every later one fails, and it can no longer be opened.
    uint32_t vanishAtOperation = 0;
    // Read windows are served from these bytes in order, 8192 to a window and zeros past
    // the end, in place of the answers memory would give: a handheld that says anything.
    std::optional<std::vector<uint8_t>> scriptedWindows;
    // Bytes per second the volume moves; 0 is as fast as the host can go. The served file
    // paces itself by it; in process nothing waits.
    uint32_t bytesPerSecond = 0;
    // Opens refused for lack of rights, in process only.
    HostRights hostRights = HostRights::Full;
};

// Sets the record fields of the older layout: version 0x200 or 0x201, and a character number
// 1 to 6 that names both group and character; the group field holds junk.
inline void UseOldLayout(HandheldOptions& options, int16_t oldNumber, uint16_t version = 0x201) {
    options.versionWord = version;
    options.characterNumber = oldNumber;
    options.characterGroup = 0x77;
}
