#include "device/ProgressMath.h"

#include <algorithm>
#include <limits>

namespace {

// The share done, as done/span with 0 <= done <= span; span 0 for an empty range.
struct Share {
    int64_t done;
    int64_t span;
};

Share ShareDone(const ProgressState& state) {
    const int64_t span = int64_t{state.high} - state.low;
    if (span <= 0) return {0, 0};
    // 64-bit: positions anywhere in the 32-bit range must not overflow the product.
    return {std::clamp<int64_t>(int64_t{state.pos} - state.low, 0, span), span};
}

}  // namespace

int32_t ClampProgressPos(const ProgressState& state, int32_t wanted) {
    return std::min(wanted, std::max(state.low, state.high));
}

int32_t SteppedProgressPos(const ProgressState& state, int32_t delta) {
    const int64_t top = std::max(state.low, state.high);
    const int64_t bottom = std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(std::clamp(int64_t{state.pos} + delta, bottom, top));
}

int32_t ProgressPercent(const ProgressState& state) {
    const Share share = ShareDone(state);
    if (share.span == 0) return 0;
    return static_cast<int32_t>(share.done * 100 / share.span);
}

int32_t ProgressFillEdge(const ProgressState& state, int32_t innerLeft, int32_t innerRight) {
    const Share share = ShareDone(state);
    if (share.span == 0 || innerRight <= innerLeft) return innerLeft;
    return static_cast<int32_t>(innerLeft + share.done * (innerRight - innerLeft) / share.span);
}
