// Draws the progress display: the bar picture, the part still to do in white, the percentage.
#pragma once

#include <windows.h>

#include "device/ProgressMath.h"
#include "ui/SkinPicture.h"

// Composed off-screen and copied in one piece, so it never shows half-drawn.
void DrawProgress(HDC target, const RECT& item, const SkinPicture& bar, const ProgressState& state);
