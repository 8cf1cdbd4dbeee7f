// Helpers for tests that create real windows: set-up, placement and modal runs.
#pragma once

#include <windows.h>

#include <functional>

// The control's rectangle in its parent's client coordinates.
RECT ControlRect(HWND dialog, int id);
SIZE ClientSize(HWND window);
// Dispatches whatever is waiting, including paints.
void PumpPending();

// Runs `inspect` on the dialog that `start` opens modally, once it shows; then, unless
// `inspect` closed it itself, ends it with IDCANCEL. Returns whether it was seen.
bool WhileModal(HWND owner, const std::function<void(HWND dialog)>& inspect,
                const std::function<void()>& start);
