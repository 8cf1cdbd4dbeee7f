// Helpers for tests that create real windows: set-up, placement and modal runs.
#pragma once

#include <windows.h>

#include <functional>

// The control's rectangle in its parent's client coordinates.
RECT ControlRect(HWND dialog, int id);
SIZE ClientSize(HWND window);
// Dispatches whatever is waiting, including paints.
void PumpPending();

// The end code of a dialog that WhileModal found still open after `inspect`.
constexpr INT_PTR kLeftOpen = 0x10EF;

// Runs `inspect` on the dialog that `start` opens modally, once it shows; a dialog still open
// after what `inspect` posted has been handled ends with kLeftOpen. Returns whether one was
// seen.
bool WhileModal(HWND owner, const std::function<void(HWND dialog)>& inspect,
                const std::function<void()>& start);
