#include "app/core/RectMath.h"

#include <algorithm>

namespace {

Rect Moved(const Rect& rect, int32_t dx, int32_t dy) {
    return {rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}

}  // namespace

Rect CenterRect(const Rect& reference, const Rect& input) {
    const int32_t dx = (reference.left + reference.right - input.left - input.right) / 2;
    const int32_t dy = (reference.top + reference.bottom - input.top - input.bottom) / 2;
    return Moved(input, dx, dy);
}

Rect KeepRectInside(const Rect& bounds, const Rect& input) {
    const int32_t dx =
        std::min(bounds.right - input.right, 0) + std::max(bounds.left - input.left, 0);
    const int32_t dy =
        std::min(bounds.bottom - input.bottom, 0) + std::max(bounds.top - input.top, 0);
    return Moved(input, dx, dy);
}
