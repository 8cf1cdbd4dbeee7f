#include "ui/SkinnedDialog.h"

#include "app/Application.h"

namespace {

// Resizes a dialog, without moving it, so that its client area is exactly this size.
void FitClientArea(HWND dialog, SIZE client) {
    if (client.cx <= 0 || client.cy <= 0) return;  // no skin: keep the template's size
    RECT frame{0, 0, client.cx, client.cy};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE)));
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER);
}

}  // namespace

template <typename Family>
LRESULT SkinnedDialog<Family>::HandleMessage(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            ApplySkin(window);  // before the window's own OnInit
            break;
        case WM_CTLCOLORDLG:
            // The skin is the background: the system paints none.
            return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        case WM_ERASEBKGND: {
            RECT client{};
            GetClientRect(window, &client);
            DrawSkinPicture(reinterpret_cast<HDC>(wParam), client, skin);
            return 1;
        }
        case WM_DRAWITEM:
            if (DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return 1;
            break;
        case WM_NCHITTEST:
            // Owner-drawn statics let the press through to the skin; buttons take their own.
            return MayDrag() ? HTCAPTION : HTCLIENT;
        case WM_DESTROY:
            ReleasePictures();
            break;
        default:
            break;
    }
    return Family::HandleMessage(window, message, wParam, lParam);
}

template <typename Family>
void SkinnedDialog<Family>::OnInit() {
    CenterWindow(nullptr, this->Handle());
    // Not SW_SHOWDEFAULT: a shortcut set to start minimised would minimise every message.
    ShowWindow(this->Handle(), SW_SHOW);
}

template <typename Family>
void SkinnedDialog<Family>::ApplySkin(HWND window) {
    skin = LoadSkinPicture(g_instance, skinPicture);
    FitClientArea(window, skin.size);
    for (size_t i = 0; i < buttons.size(); ++i) {
        pictures[i][0] = LoadSkinPicture(g_instance, buttons[i].picture);
        pictures[i][1] = LoadSkinPicture(g_instance, buttons[i].pressedPicture);
        PlaceControl(window, buttons[i].control, buttons[i].at, pictures[i][0].size);
    }
}

template <typename Family>
bool SkinnedDialog<Family>::DrawButton(const DRAWITEMSTRUCT& item) const {
    if (item.CtlType != ODT_BUTTON) return false;
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (static_cast<UINT>(buttons[i].control) != item.CtlID) continue;
        // Only the pressed state changes the picture: disabled looks like enabled.
        const bool pressed = (item.itemState & ODS_SELECTED) != 0;
        DrawSkinPicture(item.hDC, item.rcItem, pictures[i][pressed ? 1 : 0]);
        return true;
    }
    return false;
}

template <typename Family>
void SkinnedDialog<Family>::ReleasePictures() {
    skin.bitmap.Reset();
    for (size_t i = 0; i < buttons.size(); ++i) {
        pictures[i][1].bitmap.Reset();
        pictures[i][0].bitmap.Reset();
    }
}

template class SkinnedDialog<ModelessDialog>;
template class SkinnedDialog<ModalDialog>;
