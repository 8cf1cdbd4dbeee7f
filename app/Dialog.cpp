#include "app/Dialog.h"

#include <commctrl.h>

#include "app/core/RectMath.h"
#include "app/core/RefPtr.h"

HWND g_activeDialog = nullptr;

const wchar_t kDialogObjectProperty[] = L"{6F554134-B10C-4DFF-A5BC-C4B0ACF52EFD}";

namespace {

constexpr UINT kMenuItemQueryMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE;

RECT WorkArea() {
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

Dialog* BoundObject(HWND window) {
    return static_cast<Dialog*>(GetPropW(window, kDialogObjectProperty));
}

// Items of list and tree controls whose data is a counted object hold a reference to it.
void ReleaseItemObject(LPARAM data) {
    if (data != 0) reinterpret_cast<RefCounted*>(data)->Release();
}

LPARAM ListItemData(const NMLISTVIEW& note) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = note.iItem;
    item.iSubItem = 0;
    if (!SendMessageW(note.hdr.hwndFrom, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) {
        return 0;
    }
    return item.lParam;
}

// A tab control's pages are its child windows, each page's handle its tab's data.
void ShowSelectedTabPage(HWND tabs) {
    for (HWND page = GetWindow(tabs, GW_CHILD); page != nullptr;
         page = GetWindow(page, GW_HWNDNEXT)) {
        ShowWindow(page, SW_HIDE);
    }
    const auto selected = static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
    if (selected == -1) return;
    TCITEMW item{};
    item.mask = TCIF_PARAM;
    SendMessageW(tabs, TCM_GETITEMW, selected, reinterpret_cast<LPARAM>(&item));
    ShowWindow(reinterpret_cast<HWND>(item.lParam), SW_SHOW);
}

void MoveTabFocus(HWND tabs) {
    const auto count = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
    if (count == 0) return;
    const auto current = static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
    const int step = GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
    SendMessageW(tabs, TCM_SETCURFOCUS, (count + current + step) % count, 0);
}

}  // namespace

INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const RefPtr<Dialog> created(reinterpret_cast<Dialog*>(lParam));
        created->window = window;
        created->AddRef();  // the window's own reference, dropped at WM_NCDESTROY
        SetPropW(window, kDialogObjectProperty, created.Get());
    }
    // Messages before WM_INITDIALOG (WM_SETFONT) and after WM_NCDESTROY find no object.
    Dialog* bound = BoundObject(window);
    if (bound == nullptr) return 0;
    const RefPtr<Dialog> object(bound);  // outlives the handling of its own WM_NCDESTROY
    if (message == WM_NCDESTROY) {
        RemovePropW(window, kDialogObjectProperty);
        object->Release();
    }
    object->zeroHandled = false;
    const LRESULT result = object->HandleMessage(window, message, wParam, lParam);
    SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
    if (result == 0 && object->zeroHandled) return TRUE;
    return result;
}

void Dialog::OnIdle() {
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        const auto id = static_cast<int32_t>(GetWindowLongW(child, GWL_ID));
        if (id == -1) continue;  // unnamed statics
        bool enabled = true;
        bool checked = false;
        UpdateCommandState(static_cast<uint32_t>(id), enabled, checked);
        EnableControl(window, id, enabled);
    }
}

void Dialog::UpdateCommandState(uint32_t /*id*/, bool& /*enabled*/, bool& /*checked*/) {}

LRESULT Dialog::DefaultHandler(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

LRESULT Dialog::Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            // The notification code in the high word is not looked at.
            if (OnCommand(LOWORD(wParam))) return 1;
            break;
        case WM_DRAWITEM:
            if (OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return 1;
            break;
        case WM_DESTROY:
            OnDestroy();
            break;
        case WM_NOTIFY:
            return OnNotify(window, message, wParam, lParam);
        case WM_INITMENUPOPUP:
            return OnInitMenuPopup(window, message, wParam, lParam);
        default:
            break;
    }
    return DefaultHandler(window, message, wParam, lParam);
}

LRESULT Dialog::OnNotify(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    switch (header->code) {
        case TVN_DELETEITEMW:
            ReleaseItemObject(reinterpret_cast<const NMTREEVIEWW*>(lParam)->itemOld.lParam);
            return 0;
        case TCN_SELCHANGE:
            ShowSelectedTabPage(header->hwndFrom);
            return 0;
        case TCN_KEYDOWN:
            if (reinterpret_cast<const NMTCKEYDOWN*>(lParam)->wVKey == VK_TAB) {
                MoveTabFocus(header->hwndFrom);
            }
            return 0;
        case LVN_DELETEITEM:
            ReleaseItemObject(ListItemData(*reinterpret_cast<const NMLISTVIEW*>(lParam)));
            return 0;
        case LVN_INSERTITEM: {
            const auto& note = *reinterpret_cast<const NMLISTVIEW*>(lParam);
            // Some list views report the insertion before the item answers for its data;
            // the notification carries it too.
            LPARAM data = ListItemData(note);
            if (data == 0) data = note.lParam;
            if (data != 0) reinterpret_cast<RefCounted*>(data)->AddRef();
            return 0;
        }
        default:
            DefaultHandler(window, message, wParam, lParam);
            return 0;
    }
}

LRESULT Dialog::OnInitMenuPopup(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (HIWORD(lParam) == 0) {  // not the window menu
        const auto menu = reinterpret_cast<HMENU>(wParam);
        for (int position = GetMenuItemCount(menu) - 1; position >= 0; --position) {
            MENUITEMINFOW info{};
            info.cbSize = sizeof info;
            info.fMask = kMenuItemQueryMask;
            if (!GetMenuItemInfoW(menu, position, TRUE, &info)) continue;
            if (info.hSubMenu != nullptr || (info.fType & MFT_SEPARATOR) != 0) continue;
            bool enabled = (info.fState & MFS_GRAYED) != MFS_GRAYED;
            bool checked = (info.fState & MFS_CHECKED) != 0;
            UpdateCommandState(info.wID, enabled, checked);
            EnableMenuItem(menu, info.wID, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
            CheckMenuItem(menu, info.wID, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
        }
    }
    return DefaultHandler(window, message, wParam, lParam);
}

bool ModelessDialog::Create(HINSTANCE instance, HWND parent, uint32_t templateId) {
    HWND created = CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId & 0xFFFF), parent,
                                      DialogProc, reinterpret_cast<LPARAM>(this));
    if (created == nullptr) return false;
    // A child dialog's control id. On a top-level window the same slot is its menu.
    if ((GetWindowLongW(created, GWL_STYLE) & WS_CHILD) != 0) {
        SetWindowLongW(created, GWL_ID, static_cast<LONG>(templateId));
    }
    ShowWindow(created, SW_SHOW);
    return true;
}

LRESULT ModelessDialog::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInit();
            return DefaultHandler(window, message, wParam, lParam);  // 0: no default focus
        case WM_ACTIVATE:
            g_activeDialog =
                LOWORD(wParam) == WA_INACTIVE ? reinterpret_cast<HWND>(lParam) : window;
            return 1;
        default:
            return Dispatch(window, message, wParam, lParam);
    }
}

bool ModalDialog::Create(HINSTANCE instance, HWND parent, uint32_t templateId) {
    result = DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId & 0xFFFF), parent, DialogProc,
                             reinterpret_cast<LPARAM>(this));
    return true;
}

LRESULT ModalDialog::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_INITDIALOG) return Dispatch(window, message, wParam, lParam);
    OnInit();
    CenterWindow(GetParent(window), window);
    return 1;  // the dialog manager sets the default focus
}

bool ModalDialog::OnCommand(uint32_t id) {
    if (id != IDOK && id != IDCANCEL) return false;
    EndDialog(Handle(), static_cast<INT_PTR>(id));
    return true;
}

void EnableControl(HWND dialog, int32_t id, bool enabled) {
    HWND control = GetDlgItem(dialog, id);
    if (control == nullptr) return;
    // A disabled control cannot keep the focus; hand it on first.
    if (!enabled && GetFocus() == control) SendMessageW(dialog, WM_NEXTDLGCTL, 0, 0);
    EnableWindow(control, enabled ? TRUE : FALSE);
}

void CenterWindow(HWND reference, HWND window) {
    RECT placed{};
    GetWindowRect(window, &placed);
    RECT around = WorkArea();
    if (reference != nullptr) GetWindowRect(reference, &around);
    Rect r = CenterRect(ToRect(around), ToRect(placed));
    if ((GetWindowLongW(window, GWL_STYLE) & WS_CHILD) != 0) {
        auto local = FromRect<RECT>(r);
        MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&local), 2);
        r = ToRect(local);
    } else {
        r = KeepRectInside(ToRect(WorkArea()), r);
    }
    SetWindowPos(window, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}
