// Tells which of the program's message pictures a message dialog shows, by comparing the
// screen with the bitmaps in the program's own resources.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class MessageIcons {
public:
    explicit MessageIcons(const std::wstring& programPath);

    // "information", "warning" or "error"; "unknown" when the screen shows none of them.
    std::string Identify(HWND message) const;

private:
    struct Picture {
        std::string name;
        LONG width = 0;
        LONG height = 0;
        std::vector<uint32_t> pixels;
    };
    std::vector<Picture> pictures;
};
