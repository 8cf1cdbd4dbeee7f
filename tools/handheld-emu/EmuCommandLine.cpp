#include "EmuCommandLine.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

const char kEmuUsage[] =
    "usage: handheld-emu MOUNTPOINT [--report FILE] [HANDHELD]...\n"
    "Serves emulated handhelds as files MOUNTPOINT/NAME, each a raw volume of 512-byte\n"
    "sectors. Stops and unmounts on SIGINT or SIGTERM.\n"
    "HANDHELD options apply to the handheld named last (default name: handheld):\n"
    "  --handheld NAME        start another handheld\n"
    "  --memory FILE          memory file: loaded if it holds 513 blocks, else made fresh;\n"
    "                         saved after every write transaction and at exit\n"
    "  --version WORD         version word of the system records (default 0x250)\n"
    "  --group G --number N   character group and number\n"
    "  --old-number N         older record layout: version 0x201, character number N\n"
    "  --label TEXT           volume label at byte 43 of sector 0, 11 bytes, zero padded\n"
    "  --answer-payload BYTES payload bytes of one read answer (default 4096)\n"
    "  --answer-length L      send L as every answer length\n"
    "  --fail-op N            sector operation N (from 1) fails\n"
    "  --vanish-after K       after K window transfers every operation fails\n"
    "  --byte-rate BYTES      move at most BYTES per second\n";

namespace {

bool ParseNumber(const char* text, long long low, long long high, long long* value) {
    errno = 0;
    char* end = nullptr;
    const long long parsed = std::strtoll(text, &end, 0);
    if (errno != 0 || end == text || *end != '\0' || parsed < low || parsed > high) return false;
    *value = parsed;
    return true;
}

// Applies one option with its value to the handheld; false if the option is unknown or its
// value out of range.
bool ApplyOption(const std::string& option, const char* value, HandheldOptions& options) {
    long long n = 0;
    auto number = [&](long long low, long long high) { return ParseNumber(value, low, high, &n); };
    if (option == "--memory") {
        options.memoryFile = value;
    } else if (option == "--version") {
        if (!number(0, 0xFFFF)) return false;
        options.versionWord = static_cast<uint16_t>(n);
    } else if (option == "--group") {
        if (!number(-32768, 32767)) return false;
        options.characterGroup = static_cast<int16_t>(n);
    } else if (option == "--number") {
        if (!number(-32768, 32767)) return false;
        options.characterNumber = static_cast<int16_t>(n);
    } else if (option == "--old-number") {
        if (!number(-32768, 32767)) return false;
        UseOldLayout(options, static_cast<int16_t>(n));
    } else if (option == "--label") {
        if (std::strlen(value) > options.label.size()) return false;
        options.label.fill('\0');
        std::memcpy(options.label.data(), value, std::strlen(value));
    } else if (option == "--answer-payload") {
        if (!number(0, 0xFFFFFFFFLL)) return false;
        options.answerPayload = static_cast<uint32_t>(n);
    } else if (option == "--answer-length") {
        if (!number(0, 0xFFFFFFFFLL)) return false;
        options.answerLength = static_cast<uint32_t>(n);
    } else if (option == "--fail-op") {
        if (!number(1, 0xFFFFFFFFLL)) return false;
        options.failOperation = static_cast<uint32_t>(n);
    } else if (option == "--vanish-after") {
        if (!number(0, 0xFFFFFFFFLL)) return false;
        options.vanishAfterWindows = static_cast<uint32_t>(n);
    } else if (option == "--byte-rate") {
        if (!number(1, 0xFFFFFFFFLL)) return false;
        options.bytesPerSecond = static_cast<uint32_t>(n);
    } else {
        return false;
    }
    return true;
}

}  // namespace

bool ParseEmuCommandLine(int argc, char** argv, EmuCommandLine* line, std::string* error) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind("--", 0) != 0) {
            if (!line->mountPoint.empty()) {
                *error = "more than one mount point: " + argument;
                return false;
            }
            line->mountPoint = argument;
            continue;
        }
        if (i + 1 >= argc) {
            *error = argument + " needs a value";
            return false;
        }
        const char* value = argv[++i];
        if (argument == "--report") {
            line->reportFile = value;
        } else if (argument == "--handheld") {
            line->handhelds.push_back({value, {}});
        } else {
            if (line->handhelds.empty()) line->handhelds.push_back({"handheld", {}});
            if (!ApplyOption(argument, value, line->handhelds.back().options)) {
                *error = "bad option or value: " + argument + " " + value;
                return false;
            }
        }
    }
    if (line->mountPoint.empty()) {
        *error = "no mount point";
        return false;
    }
    if (line->handhelds.empty()) line->handhelds.push_back({"handheld", {}});
    for (size_t i = 0; i < line->handhelds.size(); ++i) {
        const std::string& name = line->handhelds[i].name;
        bool repeated = false;
        for (size_t j = 0; j < i; ++j) repeated = repeated || line->handhelds[j].name == name;
        if (name.empty() || name.find('/') != std::string::npos || repeated) {
            *error = "bad or repeated handheld name: " + name;
            return false;
        }
    }
    return true;
}
