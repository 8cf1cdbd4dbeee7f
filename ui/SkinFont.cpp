#include "ui/SkinFont.h"

namespace {

constexpr int kPointSize = 10;
constexpr int kPointsPerInch = 72;
constexpr wchar_t kFaceName[] = L"Comic Sans MS";

}  // namespace

FontHandle CreateSkinFont(HDC dc) {
    LOGFONTW description{};
    description.lfHeight = -MulDiv(kPointSize, GetDeviceCaps(dc, LOGPIXELSY), kPointsPerInch);
    description.lfWeight = FW_BOLD;
    description.lfPitchAndFamily = FF_SWISS | DEFAULT_PITCH;
    lstrcpynW(description.lfFaceName, kFaceName, LF_FACESIZE);
    return FontHandle(CreateFontIndirectW(&description));
}
