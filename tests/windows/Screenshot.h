// Saves what the screen shows of a window as a PNG file, for test artefacts.
#pragma once

#include <windows.h>

bool SaveWindowPng(HWND window, const wchar_t* path);
