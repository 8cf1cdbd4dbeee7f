#include "ui/MessageDialog.h"

#include <cstdarg>

#include "app/Application.h"
#include "app/FormatText.h"
#include "app/RectMath.h"
#include "app/RefPtr.h"
#include "resources/ResourceIds.h"
#include "ui/MessageTable.h"
#include "ui/SkinFont.h"

namespace {

constexpr POINT kOkAt{135, 157};
constexpr POINT kCloseAt{318, 3};
constexpr POINT kIconAt{4, 59};
constexpr POINT kTextAt{68, 48};
constexpr SIZE kTextSize{250, 95};
constexpr uint32_t kIconBits = 0xF0;
constexpr UINT kTextFormat = DT_CENTER | DT_WORDBREAK | DT_END_ELLIPSIS;

// A quit ends a modal loop at once, and the loop posts it again. Taken from the queue
// meanwhile, it is posted once more when this ends.
class HeldQuit {
public:
    HeldQuit() = default;
    ~HeldQuit() {
        if (held) PostQuitMessage(exitCode);
    }
    HeldQuit(const HeldQuit&) = delete;
    HeldQuit& operator=(const HeldQuit&) = delete;

    // Whether a quit was waiting.
    bool Take() {
        MSG quit{};
        if (!PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return false;
        held = true;
        exitCode = static_cast<int>(quit.wParam);
        return true;
    }

private:
    bool held = false;
    int exitCode = 0;
};

}  // namespace

int MessageIconFor(uint32_t kind) {
    switch (kind & kIconBits) {
        case static_cast<uint32_t>(MessageKind::Error):
            return IDB_ERROR;
        case static_cast<uint32_t>(MessageKind::Warning):
            return IDB_WARNING;
        case static_cast<uint32_t>(MessageKind::Information):
            return IDB_INFORMATION;
        default:
            return 0;
    }
}

int32_t ShowMessage(HWND owner, uint32_t kind, const wchar_t* format, ...) {
    wchar_t text[kMessageCapacity];
    va_list args;
    va_start(args, format);
    FormatTextV(text, kMessageCapacity, format, args);
    va_end(args);

    // Only the user ends a message: one that a quit ended shows again, and the quit is
    // honoured once the user has closed it.
    HeldQuit quit;
    for (;;) {
        const RefPtr<MessageDialog> dialog(new MessageDialog(kind, text));
        dialog->Create(g_instance, owner, IDD_MESSAGE);
        if (dialog->ClosedByUser() || !quit.Take()) break;
    }
    return 1;
}

LRESULT MessageDialog::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog(window, wParam, lParam);
        case WM_ERASEBKGND:
            return OnEraseBackground(reinterpret_cast<HDC>(wParam));
        case WM_DRAWITEM:
            return OnDrawItem(window, wParam, lParam);
        case WM_NCHITTEST:
            return HTCAPTION;
        case WM_CTLCOLORDLG:
            return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        case WM_DESTROY:
            return OnDestroy(window, wParam, lParam);
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) closedByUser = true;
            [[fallthrough]];
        default:
            return ModalDialog::HandleMessage(window, message, wParam, lParam);
    }
}

LRESULT MessageDialog::OnInitDialog(HWND window, WPARAM wParam, LPARAM lParam) {
    skinBitmap = LoadSkinPicture(g_instance, IDB_MESSAGE_SKIN);
    FitClientArea(window, skinBitmap.size);
    okBitmaps[0] = LoadSkinPicture(g_instance, IDB_OK);
    okBitmaps[1] = LoadSkinPicture(g_instance, IDB_OK_PRESSED);
    PlaceControl(window, IDOK, kOkAt, okBitmaps[0].size);
    closeBitmaps[0] = LoadSkinPicture(g_instance, IDB_MESSAGE_CLOSE);
    closeBitmaps[1] = LoadSkinPicture(g_instance, IDB_MESSAGE_CLOSE_PRESSED);
    PlaceControl(window, IDCANCEL, kCloseAt, closeBitmaps[0].size);
    if (const int icon = MessageIconFor(kind)) {
        iconBitmap = LoadSkinPicture(g_instance, icon);
        PlaceControl(window, IDC_MESSAGE_ICON, kIconAt, iconBitmap.size);
    }
    PlaceControl(window, IDC_MESSAGE_TEXT, kTextAt, kTextSize);
    SetDlgItemTextW(window, IDC_MESSAGE_TEXT, text);

    CenterWindow(nullptr, window);
    ShowWindow(window, SW_SHOWDEFAULT);
    // Centres over the owner and lets the dialog manager set the focus.
    return ModalDialog::HandleMessage(window, WM_INITDIALOG, wParam, lParam);
}

LRESULT MessageDialog::OnEraseBackground(HDC dc) {
    DrawSkinBackground(Handle(), dc, skinBitmap);
    return 1;
}

LRESULT MessageDialog::OnDrawItem(HWND window, WPARAM wParam, LPARAM lParam) {
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item.CtlType == ODT_BUTTON) {
        if (item.CtlID == IDOK) {
            DrawSkinPicture(item.hDC, item.rcItem, PictureFor(okBitmaps, item.itemState));
        } else if (item.CtlID == IDCANCEL) {
            DrawSkinPicture(item.hDC, item.rcItem, PictureFor(closeBitmaps, item.itemState));
        }
        return 1;
    }
    if (item.CtlID == IDC_MESSAGE_ICON) {
        DrawSkinPicture(item.hDC, item.rcItem, iconBitmap);
        return ModalDialog::HandleMessage(window, WM_DRAWITEM, wParam, lParam);
    }
    if (item.CtlID == IDC_MESSAGE_TEXT) {
        PaintText(item);
        return 1;
    }
    return ModalDialog::HandleMessage(window, WM_DRAWITEM, wParam, lParam);
}

void MessageDialog::PaintText(const DRAWITEMSTRUCT& item) const {
    const FontHandle font = CreateSkinFont(item.hDC);
    const SavedDcState state = SaveDcState(item.hDC);
    SelectObject(item.hDC, font.Get());
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, kSkinTextColour);

    // Measure the wrapped block, then centre it as a whole; a block taller than the
    // area is cut equally at top and bottom.
    RECT block = item.rcItem;
    ::DrawTextW(item.hDC, text, -1, &block, kTextFormat | DT_CALCRECT);
    const Rect area{item.rcItem.left, item.rcItem.top, item.rcItem.right, item.rcItem.bottom};
    const Rect centred = CenterRect(area, {block.left, block.top, block.right, block.bottom});
    RECT where{centred.left, centred.top, centred.right, centred.bottom};
    ::DrawTextW(item.hDC, text, -1, &where, kTextFormat);
}

LRESULT MessageDialog::OnDestroy(HWND window, WPARAM wParam, LPARAM lParam) {
    skinBitmap.bitmap.Reset();
    okBitmaps[1].bitmap.Reset();
    okBitmaps[0].bitmap.Reset();
    closeBitmaps[1].bitmap.Reset();
    closeBitmaps[0].bitmap.Reset();
    iconBitmap.bitmap.Reset();
    return ModalDialog::HandleMessage(window, WM_DESTROY, wParam, lParam);
}
