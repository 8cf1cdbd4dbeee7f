// The skin's fonts, sized in skin pixels: the artwork is drawn for 96 dots per inch and never
// grows, so neither may the texts that stand on it.
#pragma once

#include <windows.h>

#include "platform/win32/Win32Handles.h"

// Text colour on white and on the skin's panels: red 6, green 117, blue 186.
constexpr COLORREF kSkinTextColour = 0x00BA7506;

// The skin font's height in pixels: 10 points as the artwork is drawn.
int SkinFontHeight();
// Bold "Comic Sans MS" of the progress display and the messages, made for one drawing. A
// smaller height lets a long text fit its box.
FontHandle CreateSkinFont(int height = SkinFontHeight());

// The dialog font of the buttons the system draws on the skin, at the skin's resolution.
FontHandle CreateSkinButtonFont();
