#include "ui/ProgressPainter.h"

#include "app/core/FormatText.h"
#include "ui/SkinFont.h"

namespace {

constexpr int kFrameWidth = 3;
constexpr size_t kPercentCapacity = 8;
constexpr COLORREF kDoneTextColour = 0x00FFFFFF;
constexpr UINT kCentredLine = DT_SINGLELINE | DT_VCENTER | DT_CENTER;

}  // namespace

void DrawProgress(HDC target, const RECT& item, const SkinPicture& bar,
                  const ProgressState& state) {
    const int width = item.right - item.left;
    const int height = item.bottom - item.top;
    RECT whole{0, 0, width, height};
    const RECT inner{kFrameWidth, kFrameWidth, width - kFrameWidth, height - kFrameWidth};

    wchar_t percent[kPercentCapacity];
    FormatText(percent, kPercentCapacity, L"%d%%", ProgressPercent(state));

    const FontHandle font = CreateSkinFont();
    const BitmapHandle image(CreateCompatibleBitmap(target, width, height));
    const MemoryDc canvas(CreateCompatibleDC(target));
    if (!canvas || !image) return;
    const SavedDcState canvasState = SaveDcState(canvas.Get());
    SelectObject(canvas.Get(), image.Get());
    SelectObject(canvas.Get(), font.Get());
    SetBkMode(canvas.Get(), TRANSPARENT);

    DrawSkinPicture(canvas.Get(), whole, bar);
    SetTextColor(canvas.Get(), kDoneTextColour);
    DrawTextW(canvas.Get(), percent, -1, &whole, kCentredLine);

    // Only the part still to do, inside the frame, turns white and takes blue figures.
    const int edge = ProgressFillEdge(state, inner.left, inner.right);
    const RegionHandle todo(CreateRectRgn(edge, inner.top, inner.right, inner.bottom));
    SelectClipRgn(canvas.Get(), todo.Get());
    FillRect(canvas.Get(), &whole, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextColor(canvas.Get(), kSkinTextColour);
    DrawTextW(canvas.Get(), percent, -1, &whole, kCentredLine);

    BitBlt(target, item.left, item.top, width, height, canvas.Get(), 0, 0, SRCCOPY);
}
