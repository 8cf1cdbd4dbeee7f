// Asks Windows to hold off shutting down or logging off while the handheld is written.
#pragma once

#include <windows.h>

class ShutdownBlock {
public:
    // Does nothing where the system has no block reasons (before Vista).
    explicit ShutdownBlock(HWND window);
    ~ShutdownBlock();
    ShutdownBlock(const ShutdownBlock&) = delete;
    ShutdownBlock& operator=(const ShutdownBlock&) = delete;

private:
    HWND window;
    bool created = false;
};
