// A bitmap of the skin with its size, and drawing it with a plain copy.
#pragma once

#include <windows.h>

#include "platform/win32/Win32Handles.h"

struct SkinPicture {
    BitmapHandle bitmap;
    SIZE size{0, 0};
};

// Loads a bitmap resource at its natural size as a DIB section; empty when it fails.
SkinPicture LoadSkinPicture(HINSTANCE instance, int id);

// Stretches the whole picture onto the target rectangle, without masks or transparency.
// An empty picture draws nothing.
void DrawSkinPicture(HDC target, const RECT& where, const SkinPicture& picture);

// Gives a control the picture's size at a client position.
void PlaceControl(HWND dialog, int id, POINT at, SIZE size);
