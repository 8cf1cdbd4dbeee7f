// Placing one rectangle relative to another: centring and keeping it on screen.
#pragma once

#include <cstdint>

struct Rect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;

    bool operator==(const Rect&) const = default;
};

// To and from a rectangle type of the same four fields, the system's RECT among them.
template <typename Other>
Rect ToRect(const Other& r) {
    return {r.left, r.top, r.right, r.bottom};
}
template <typename Other>
Other FromRect(const Rect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// The input moved so that its centre meets the reference's (halves truncate toward zero).
Rect CenterRect(const Rect& reference, const Rect& input);
// The input moved back inside the bounds; one wider than the bounds overhangs both edges
// equally, because both corrections are taken from the input before either applies.
Rect KeepRectInside(const Rect& bounds, const Rect& input);
