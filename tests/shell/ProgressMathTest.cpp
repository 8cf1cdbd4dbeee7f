#include <gtest/gtest.h>

#include <limits>

#include "device/ProgressMath.h"

namespace {

// The inner rectangle of the 209-pixel bar: 3 pixels in from each side.
constexpr int32_t kInnerLeft = 3;
constexpr int32_t kInnerRight = 206;

}  // namespace

TEST(ProgressMath, WriteBackOf509BlocksShows99UntilTheLastStep) {
    ProgressState state{0, 509, 0};
    for (int step = 0; step < 254; ++step) state.pos = SteppedProgressPos(state, 2);
    EXPECT_EQ(508, state.pos);
    EXPECT_EQ(99, ProgressPercent(state));
    EXPECT_EQ(kInnerLeft + 508 * 203 / 509, ProgressFillEdge(state, kInnerLeft, kInnerRight));

    state.pos = SteppedProgressPos(state, 1);
    EXPECT_EQ(509, state.pos);
    EXPECT_EQ(100, ProgressPercent(state));
    EXPECT_EQ(kInnerRight, ProgressFillEdge(state, kInnerLeft, kInnerRight));
}

TEST(ProgressMath, StartOfRangeIsEmptyBar) {
    const ProgressState state{0, 1, 0};
    EXPECT_EQ(0, ProgressPercent(state));
    EXPECT_EQ(kInnerLeft, ProgressFillEdge(state, kInnerLeft, kInnerRight));
}

TEST(ProgressMath, PositionsStopAtTheUpperBound) {
    const ProgressState state{0, 509, 509};
    EXPECT_EQ(509, SteppedProgressPos(state, 1));
    EXPECT_EQ(509, SteppedProgressPos(state, 0));
    EXPECT_EQ(509, ClampProgressPos(state, 600));
    EXPECT_EQ(5, ClampProgressPos(state, 5));
    // A reversed range stops at the larger bound.
    EXPECT_EQ(10, ClampProgressPos({10, 0, 0}, 50));
    // No wrap-around at the ends of the 32-bit range.
    const ProgressState wide{0, std::numeric_limits<int32_t>::max(), 2'000'000'000};
    EXPECT_EQ(std::numeric_limits<int32_t>::max(),
              SteppedProgressPos(wide, std::numeric_limits<int32_t>::max()));
}

TEST(ProgressMath, DegenerateRangesNeitherDivideByZeroNorGoNegative) {
    EXPECT_EQ(0, ProgressPercent({5, 5, 5}));
    EXPECT_EQ(kInnerLeft, ProgressFillEdge({5, 5, 5}, kInnerLeft, kInnerRight));
    EXPECT_EQ(0, ProgressPercent({10, 0, 5}));
    EXPECT_EQ(0, ProgressPercent({100, 200, 50}));
    EXPECT_EQ(kInnerLeft, ProgressFillEdge({100, 200, 50}, kInnerLeft, kInnerRight));
    // Large spans would overflow a 32-bit product.
    const ProgressState big{0, 2'000'000'000, 1'000'000'000};
    EXPECT_EQ(50, ProgressPercent(big));
    EXPECT_EQ(kInnerLeft + 203 / 2, ProgressFillEdge(big, kInnerLeft, kInnerRight));
}
