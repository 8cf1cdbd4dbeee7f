#include "ui/SkinFont.h"

namespace {

// The resolution the skin's artwork is drawn for.
constexpr int kSkinPixelsPerInch = 96;
constexpr int kPointsPerInch = 72;
constexpr int kPointSize = 10;
constexpr wchar_t kFaceName[] = L"Comic Sans MS";
// The dialog templates' font.
constexpr int kButtonPointSize = 8;
constexpr wchar_t kButtonFaceName[] = L"MS Shell Dlg";

int SkinPixels(int points) {
    return MulDiv(points, kSkinPixelsPerInch, kPointsPerInch);
}

}  // namespace

int SkinFontHeight() {
    return SkinPixels(kPointSize);
}

FontHandle CreateSkinFont(int height) {
    LOGFONTW description{};
    description.lfHeight = -height;
    description.lfWeight = FW_BOLD;
    description.lfPitchAndFamily = FF_SWISS | DEFAULT_PITCH;
    lstrcpynW(description.lfFaceName, kFaceName, LF_FACESIZE);
    return FontHandle(CreateFontIndirectW(&description));
}

FontHandle CreateSkinButtonFont() {
    LOGFONTW description{};
    description.lfHeight = -SkinPixels(kButtonPointSize);
    description.lfWeight = FW_NORMAL;
    description.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(description.lfFaceName, kButtonFaceName, LF_FACESIZE);
    return FontHandle(CreateFontIndirectW(&description));
}
