#include <gtest/gtest.h>

#include "app/core/RectMath.h"

namespace {

constexpr Rect kWorkArea{0, 0, 1024, 740};

int32_t Width(const Rect& r) {
    return r.right - r.left;
}
int32_t Height(const Rect& r) {
    return r.bottom - r.top;
}

}  // namespace

TEST(CenterRect, CentresAndKeepsSizeWithTruncationTowardZero) {
    const Rect centred = CenterRect(kWorkArea, {0, 0, 512, 320});
    EXPECT_EQ((Rect{256, 210, 768, 530}), centred);

    // Odd leftovers truncate toward zero in both directions.
    EXPECT_EQ((Rect{1, 1, 4, 4}), CenterRect({0, 0, 6, 6}, {0, 0, 3, 3}));
    EXPECT_EQ((Rect{-4, -4, -1, -1}), CenterRect({-6, -6, 0, 0}, {0, 0, 3, 3}));

    const Rect dialog{100, 100, 443, 314};
    const Rect owner{300, 200, 812, 520};
    const Rect placed = CenterRect(owner, dialog);
    EXPECT_EQ(Width(dialog), Width(placed));
    EXPECT_EQ(Height(dialog), Height(placed));
    EXPECT_EQ(owner.left + owner.right, placed.left + placed.right + 1);  // 1 lost to truncation
}

TEST(KeepRectInside, MovesBackOnlyWhatSticksOut) {
    const Rect inside{10, 10, 110, 60};
    EXPECT_EQ(inside, KeepRectInside(kWorkArea, inside));

    // A window centred on an owner near the right edge moves left until it meets the edge.
    const Rect owner{900, 300, 1100, 400};
    const Rect centred = CenterRect(owner, {0, 0, 343, 214});
    const Rect kept = KeepRectInside(kWorkArea, centred);
    EXPECT_EQ(kWorkArea.right, kept.right);
    EXPECT_EQ(centred.top, kept.top);

    EXPECT_EQ((Rect{0, 0, 50, 50}), KeepRectInside(kWorkArea, {-20, -30, 30, 20}));
    EXPECT_EQ((Rect{974, 690, 1024, 740}), KeepRectInside(kWorkArea, {1000, 700, 1050, 750}));
}

TEST(KeepRectInside, OversizedWindowStaysCentredOverhangingBothEdges) {
    const Rect wide = CenterRect(kWorkArea, {0, 0, 1200, 900});
    const Rect kept = KeepRectInside(kWorkArea, wide);
    EXPECT_EQ(wide, kept);
    EXPECT_EQ(kWorkArea.left - kept.left, kept.right - kWorkArea.right);
}
