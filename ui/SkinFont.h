// The skin's text font: 10-point bold "Comic Sans MS", made for one drawing.
#pragma once

#include <windows.h>

#include "platform/win32/Win32Handles.h"

// Text colour on white and on the skin's panels: red 6, green 117, blue 186.
constexpr COLORREF kSkinTextColour = 0x00BA7506;

FontHandle CreateSkinFont(HDC dc);
