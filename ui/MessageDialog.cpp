#include "ui/MessageDialog.h"

#include <cstdarg>
#include <utility>

#include "app/Application.h"
#include "app/core/FormatText.h"
#include "app/core/RectMath.h"
#include "app/core/RefPtr.h"
#include "resources/ResourceIds.h"
#include "ui/SkinFont.h"
#include "ui/core/MessageTable.h"

namespace {

constexpr SkinButton kButtons[] = {
    {IDOK, IDB_OK, IDB_OK_PRESSED, {135, 157}},
    {IDCANCEL, IDB_MESSAGE_CLOSE, IDB_MESSAGE_CLOSE_PRESSED, {318, 3}},
};
constexpr POINT kIconAt{4, 59};
constexpr POINT kTextAt{68, 48};
constexpr SIZE kTextSize{250, 95};
constexpr uint32_t kIconBits = 0xF0;
constexpr UINT kTextFormat = DT_CENTER | DT_WORDBREAK | DT_END_ELLIPSIS;
// Still easy to read on the skin.
constexpr int kSmallestTextHeight = 10;

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

MessageDialog::MessageDialog(uint32_t kind, const wchar_t* text)
    : SkinnedDialog(IDB_MESSAGE_SKIN, kButtons), kind(kind), text(text) {}

void MessageDialog::OnInit() {
    if (const int icon = MessageIconFor(kind)) {
        iconBitmap = LoadSkinPicture(g_instance, icon);
        PlaceControl(Handle(), IDC_MESSAGE_ICON, kIconAt, iconBitmap.size);
    }
    PlaceControl(Handle(), IDC_MESSAGE_TEXT, kTextAt, kTextSize);
    SetDlgItemTextW(Handle(), IDC_MESSAGE_TEXT, text);
    // Centred on the work area and shown; the modal run then centres it over its owner.
    SkinnedDialog::OnInit();
}

bool MessageDialog::OnCommand(uint32_t id) {
    if (id == IDOK || id == IDCANCEL) closedByUser = true;
    return SkinnedDialog::OnCommand(id);
}

bool MessageDialog::OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (item.CtlID == IDC_MESSAGE_ICON) {
        DrawSkinPicture(item.hDC, item.rcItem, iconBitmap);
        return true;
    }
    if (item.CtlID == IDC_MESSAGE_TEXT) {
        PaintText(item);
        return true;
    }
    return false;
}

void MessageDialog::OnDestroy() {
    iconBitmap.bitmap.Reset();
}

void MessageDialog::PaintText(const DRAWITEMSTRUCT& item) const {
    FontHandle font;  // outlives the saved state, which deselects it
    const SavedDcState state = SaveDcState(item.hDC);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, kSkinTextColour);

    // Measure the wrapped block, a size smaller each time until it fits, then centre it as a
    // whole; a block that never fits is cut equally at top and bottom.
    const Rect area = ToRect(item.rcItem);
    RECT block{};
    for (int height = SkinFontHeight(); height >= kSmallestTextHeight; --height) {
        FontHandle smaller = CreateSkinFont(height);
        SelectObject(item.hDC, smaller.Get());
        font = std::move(smaller);  // the one before is no longer selected
        block = item.rcItem;
        ::DrawTextW(item.hDC, text, -1, &block, kTextFormat | DT_CALCRECT);
        if (block.right - block.left <= area.right - area.left &&
            block.bottom - block.top <= area.bottom - area.top) {
            break;
        }
    }
    auto where = FromRect<RECT>(CenterRect(area, ToRect(block)));
    ::DrawTextW(item.hDC, text, -1, &where, kTextFormat);
}
