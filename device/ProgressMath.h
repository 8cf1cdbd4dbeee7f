// The progress display's arithmetic: clamping, percentage and where the bar's fill ends.
#pragma once

#include <cstdint>

struct ProgressState {
    int32_t low = 0;
    int32_t high = 100;
    int32_t pos = 0;
};

// A new position stops at the upper end of the range (the larger bound); nothing
// clamps from below, callers never go there.
int32_t ClampProgressPos(const ProgressState& state, int32_t wanted);
// The position after a step, clamped the same way; a huge step cannot wrap around.
int32_t SteppedProgressPos(const ProgressState& state, int32_t delta);

// Percentage shown, truncated: 508 of 0..509 is 99. An empty or reversed range
// shows 0 and a position below the range shows 0, rather than dividing by zero
// or printing a negative figure.
int32_t ProgressPercent(const ProgressState& state);

// x of the fill edge inside [innerLeft, innerRight], truncated like the percentage
// and kept within the inner rectangle.
int32_t ProgressFillEdge(const ProgressState& state, int32_t innerLeft, int32_t innerRight);
