#include <gtest/gtest.h>
#include <windows.h>

#include "app/Application.h"
#include "platform/win32/Win32Handles.h"
#include "resources/ResourceIds.h"
#include "ui/ProgressPainter.h"

namespace {

constexpr int kWidth = 209;
constexpr int kHeight = 27;
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Draws the display off-screen the way WM_DRAWITEM does and reads pixels back.
class ProgressCanvas {
public:
    ProgressCanvas()
        : screen(GetDC(nullptr)),
          image(CreateCompatibleBitmap(screen, kWidth, kHeight)),
          dc(CreateCompatibleDC(screen)),
          bar(LoadSkinPicture(g_instance, IDB_PROGRESS)) {
        SelectObject(dc.Get(), image.Get());
    }
    ~ProgressCanvas() { ReleaseDC(nullptr, screen); }

    void Draw(int32_t low, int32_t high, int32_t pos) {
        const RECT item{0, 0, kWidth, kHeight};
        DrawProgress(dc.Get(), item, bar, {low, high, pos});
    }
    COLORREF At(int x, int y) const { return GetPixel(dc.Get(), x, y); }
    // Columns [from, to) at the height of the figures' lower edge, clear of the text.
    int WhiteIn(int from, int to, int y) const {
        int white = 0;
        for (int x = from; x < to; ++x) white += At(x, y) == kWhite ? 1 : 0;
        return white;
    }

private:
    HDC screen;
    BitmapHandle image;
    MemoryDc dc;
    SkinPicture bar;
};

}  // namespace

TEST(ProgressPainter, StartShowsAWhiteFieldInsideTheBlueFrame) {
    ProgressCanvas canvas;
    canvas.Draw(0, 1, 0);
    EXPECT_EQ(kWhite, canvas.At(3, 3));
    EXPECT_EQ(kWhite, canvas.At(205, 23));
    EXPECT_EQ(kWhite, canvas.At(20, 13));
    EXPECT_NE(kWhite, canvas.At(1, 13));  // the frame stays
    EXPECT_NE(kWhite, canvas.At(104, 1));
}

TEST(ProgressPainter, FillEdgeAt508Of509AndFullAtTheEnd) {
    ProgressCanvas canvas;
    canvas.Draw(0, 509, 508);  // 254 steps of 2: 99 %, edge at 3 + 508 * 203 / 509 = 205
    EXPECT_EQ(1, canvas.WhiteIn(3, 206, 6));
    EXPECT_EQ(kWhite, canvas.At(205, 6));
    EXPECT_NE(kWhite, canvas.At(204, 6));

    canvas.Draw(0, 509, 509);
    EXPECT_EQ(0, canvas.WhiteIn(3, 206, 6));

    canvas.Draw(0, 509, 254);  // half way: 3 + 254 * 203 / 509 = 104
    EXPECT_EQ(206 - 104, canvas.WhiteIn(3, 206, 6));
}

TEST(ProgressPainter, EmptyRangeDrawsWithoutDividingByZero) {
    ProgressCanvas canvas;
    canvas.Draw(5, 5, 5);
    EXPECT_EQ(kWhite, canvas.At(20, 13));
}
