#include "tests/e2e/MessageIcon.h"

#include "platform/win32/Win32Handles.h"
#include "resources/ResourceIds.h"

namespace {

// The bitmap's pixels as 32-bit colours, top row first; empty when it cannot be read.
std::vector<uint32_t> PixelsOf(HBITMAP bitmap, LONG width, LONG height) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info,
                               DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != height) pixels.clear();
    for (uint32_t& pixel : pixels) pixel &= 0x00FFFFFF;
    return pixels;
}

}  // namespace

MessageIcons::MessageIcons(const std::wstring& programPath) {
    HMODULE module = LoadLibraryExW(programPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr) return;
    const struct {
        int id;
        const char* name;
    } kinds[] = {{IDB_INFORMATION, "information"}, {IDB_WARNING, "warning"}, {IDB_ERROR, "error"}};
    for (const auto& kind : kinds) {
        const BitmapHandle bitmap(static_cast<HBITMAP>(LoadImageW(
            module, MAKEINTRESOURCEW(kind.id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        BITMAP shape{};
        if (!bitmap || GetObjectW(bitmap.Get(), sizeof shape, &shape) == 0) continue;
        Picture picture{kind.name, shape.bmWidth, shape.bmHeight, {}};
        picture.pixels = PixelsOf(bitmap.Get(), shape.bmWidth, shape.bmHeight);
        if (!picture.pixels.empty()) pictures.push_back(std::move(picture));
    }
    FreeLibrary(module);
}

std::string MessageIcons::Identify(HWND message) const {
    RECT r{};
    GetWindowRect(GetDlgItem(message, IDC_MESSAGE_ICON), &r);
    const LONG width = r.right - r.left;
    const LONG height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return "unknown";

    HDC screen = GetDC(nullptr);
    const BitmapHandle copy(CreateCompatibleBitmap(screen, width, height));
    {
        const MemoryDc canvas(CreateCompatibleDC(screen));
        const SavedDcState state = SaveDcState(canvas.Get());
        SelectObject(canvas.Get(), copy.Get());
        BitBlt(canvas.Get(), 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    }
    ReleaseDC(nullptr, screen);
    const std::vector<uint32_t> shown = PixelsOf(copy.Get(), width, height);

    // The program copies the picture unscaled; a few stray pixels are allowed for.
    for (const Picture& picture : pictures) {
        if (picture.width != width || picture.height != height || shown.empty()) continue;
        size_t differing = 0;
        for (size_t i = 0; i < shown.size(); ++i) differing += shown[i] != picture.pixels[i];
        if (differing * 50 < shown.size()) return picture.name;
    }
    return "unknown";
}
