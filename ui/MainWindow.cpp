#include "ui/MainWindow.h"

#include <windowsx.h>

#include "app/AboutDialog.h"
#include "app/Application.h"
#include "engine/UpdateController.h"
#include "platform/win32/Win32Handles.h"
#include "resources/ResourceIds.h"
#include "ui/MessageDialog.h"
#include "ui/ProgressPainter.h"
#include "ui/SkinFont.h"

namespace {

constexpr SkinButton kButtons[] = {
    {IDC_UPDATE, IDB_UPDATE, IDB_UPDATE_PRESSED, {187, 242}},
    {IDCANCEL, IDB_CLOSE, IDB_CLOSE_PRESSED, {486, 5}},
};
constexpr POINT kProgressAt{157, 253};
// The system draws the language buttons; they stand where the template puts them at 96 dots
// per inch, so that a larger dialog font cannot push them off the skin.
constexpr struct {
    int32_t control;
    POINT at;
} kLanguageButtons[] = {{IDC_ENGLISH, {227, 262}}, {IDC_DEUTSCH, {323, 262}}};
constexpr SIZE kLanguageButtonSize{75, 37};
// The language commands; their buttons are the commands from 20481 (English).
constexpr int32_t kFirstLanguageCommand = 20480;
constexpr int32_t kLastLanguageCommand = 20485;

bool IsLanguageCommand(uint32_t id) {
    return id >= static_cast<uint32_t>(kFirstLanguageCommand) &&
           id <= static_cast<uint32_t>(kLastLanguageCommand);
}

}  // namespace

MainWindow::MainWindow() : SkinnedDialog(IDB_SKIN, kButtons) {}

bool MainWindow::RunUnderWay() const {
    return g_updateController.GetState() == UpdateController::Updating || busyCount != 0;
}

void MainWindow::OnIdle() {
    // The loop may call once more after the window was closed.
    if (!IsWindow(Handle())) return;
    g_updateController.Step();
    if (IsWindow(Handle())) ModelessDialog::OnIdle();
}

void MainWindow::UpdateCommandState(uint32_t id, bool& enabled, bool& /*checked*/) {
    const int32_t state = g_updateController.GetState();
    if (IsLanguageCommand(id)) {
        enabled = state == UpdateController::ChoosingLanguage;
    } else if (id == IDC_UPDATE) {
        enabled = state == UpdateController::Ready;
    } else if (id == IDM_ABOUT) {
        // Its modal loop would hold the handheld anywhere in a run, not only mid-transfer.
        enabled = !RunUnderWay();
    }
}

LRESULT MainWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            return OnClose();
        case WM_QUERYENDSESSION:
            return OnQueryEndSession();
        case WM_CONTEXTMENU:
            return OnContextMenu(lParam);
        case WM_HELP:
            if (CommandEnabled(IDM_ABOUT)) ShowAboutBox();
            return 1;
        default:
            return SkinnedDialog::HandleMessage(window, message, wParam, lParam);
    }
}

void MainWindow::OnInit() {
    SetWindowTextW(Handle(), Application::title);
    SendMessageW(Handle(), WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(LoadIconW(g_instance, MAKEINTRESOURCEW(IDI_PROGRAM))));
    progressBitmap = LoadSkinPicture(g_instance, IDB_PROGRESS);
    PlaceControl(Handle(), IDC_PROGRESS, kProgressAt, progressBitmap.size);
    ShowWindow(GetDlgItem(Handle(), IDC_PROGRESS), SW_HIDE);
    languageFont = CreateSkinButtonFont();
    for (const auto& button : kLanguageButtons) {
        PlaceControl(Handle(), button.control, button.at, kLanguageButtonSize);
        SendMessageW(GetDlgItem(Handle(), button.control), WM_SETFONT,
                     reinterpret_cast<WPARAM>(languageFont.Get()), FALSE);
    }
    shortcuts = LoadAcceleratorsW(g_instance, MAKEINTRESOURCEW(IDR_SHORTCUTS));
    SkinnedDialog::OnInit();
}

bool MainWindow::MayDrag() const {
    // The system's move loop would hold a transfer for as long as the press lasts.
    return !RunUnderWay();
}

bool MainWindow::OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (item.CtlType != ODT_STATIC || item.CtlID != IDC_PROGRESS) return false;
    DrawProgress(item.hDC, item.rcItem, progressBitmap, progress);
    return true;
}

bool MainWindow::OnCommand(uint32_t id) {
    // Another program can post a hidden button's command: it counts only in the state
    // that shows the button.
    if (IsLanguageCommand(id)) {
        if (CommandEnabled(id)) {
            languageIndex = static_cast<int32_t>(id) - kFirstLanguageCommand;
            g_updateController.SetState(UpdateController::Ready);
        }
        return true;
    }
    switch (id) {
        case IDCANCEL:
            // The close button, Esc and close requests all come here.
            if (RunUnderWay()) {
                MessageBeep(MB_ICONWARNING);
            } else {
                DestroyWindow(Handle());
            }
            return true;
        case IDC_UPDATE:
            if (CommandEnabled(id)) g_updateController.SetState(UpdateController::UpdateRequested);
            return true;
        case IDM_ABOUT:
            if (CommandEnabled(id)) ShowAboutBox();
            return false;  // a menu command's answer stays 0
        default:
            return false;
    }
}

LRESULT MainWindow::OnClose() {
    // Handled (1) refuses it; 0 lets the dialog manager turn it into the close command.
    if (!RunUnderWay()) return 0;
    MessageBeep(MB_ICONWARNING);
    return 1;
}

LRESULT MainWindow::OnQueryEndSession() {
    if (!shutdownBlock) return 0;
    // FALSE asks Windows to wait; the shutdown block reason says why.
    AnswerZeroHandled();
    return 0;
}

LRESULT MainWindow::OnContextMenu(LPARAM lParam) {
    // A menu's own loop would hold up a transfer for as long as it stays open.
    if (RunUnderWay()) return 1;
    const MenuHandle menus(LoadMenuW(g_instance, MAKEINTRESOURCEW(IDR_SKIN_MENU)));
    if (!menus) return 1;
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (at.x == -1 && at.y == -1) {  // from the keyboard: open it over the window
        RECT frame{};
        GetWindowRect(Handle(), &frame);
        at = {(frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2};
    }
    SetForegroundWindow(Handle());
    TrackPopupMenu(GetSubMenu(menus.Get(), 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0,
                   Handle(), nullptr);
    return 1;
}

void MainWindow::OnDestroy() {
    progressBitmap.bitmap.Reset();
    // The buttons go after this window's WM_DESTROY: no drawing of theirs comes meanwhile.
    languageFont.Reset();
    PostQuitMessage(0);
}

bool MainWindow::TranslateShortcut(MSG& message) {
    if (shortcuts == nullptr || !IsWindow(Handle())) return false;
    return TranslateAcceleratorW(Handle(), shortcuts, &message) != 0;
}

bool MainWindow::CommandEnabled(uint32_t id) {
    bool enabled = true;
    bool checked = false;
    UpdateCommandState(id, enabled, checked);
    return enabled;
}

void MainWindow::ShowAboutBox() {
    const RefPtr<AboutDialog> about(new AboutDialog());
    about->Create(g_instance, Handle(), IDD_ABOUT);
}

void MainWindow::ShowControl(RunControl control, bool visible) {
    if (!IsWindow(Handle())) return;
    const int show = visible ? SW_SHOW : SW_HIDE;
    switch (control) {
        case RunControl::UpdateButton:
            ShowWindow(GetDlgItem(Handle(), IDC_UPDATE), show);
            break;
        case RunControl::ProgressDisplay:
            ShowWindow(GetDlgItem(Handle(), IDC_PROGRESS), show);
            break;
        case RunControl::LanguageChoice:
            for (int32_t id = kFirstLanguageCommand + 1; id <= kLastLanguageCommand; ++id) {
                ShowWindow(GetDlgItem(Handle(), id), show);
            }
            break;
    }
}

void MainWindow::SetProgressRange(uint32_t low, uint32_t high) {
    progress.low = static_cast<int32_t>(low);
    progress.high = static_cast<int32_t>(high);
}

void MainWindow::SetProgressPos(uint32_t position) {
    MoveProgress(ClampProgressPos(progress, static_cast<int32_t>(position)));
}

void MainWindow::StepProgress(uint32_t blocks) {
    MoveProgress(SteppedProgressPos(progress, static_cast<int32_t>(blocks)));
}

void MainWindow::PumpMessages() {
    Application::PumpMessages();
}

void MainWindow::MoveProgress(int32_t newPos) {
    // Only a change repaints; the repaint itself waits for the next pump.
    if (newPos == progress.pos) return;
    progress.pos = newPos;
    if (IsWindow(Handle())) InvalidateRect(GetDlgItem(Handle(), IDC_PROGRESS), nullptr, TRUE);
}

void MainWindow::RaiseBusy() {
    InterlockedIncrement(&busyCount);
}

void MainWindow::LowerBusy() {
    InterlockedDecrement(&busyCount);
}

void MainWindow::SetHandheldInUse(bool inUse) {
    if (!inUse) {
        shutdownBlock.reset();
    } else if (!shutdownBlock && IsWindow(Handle())) {
        shutdownBlock.emplace(Handle());
    }
}

void MainWindow::ShowMessage(MessageKind kind, const wchar_t* text) {
    // A window closed meanwhile cannot own the message; it then stands alone.
    HWND owner = IsWindow(Handle()) ? Handle() : nullptr;
    ::ShowMessage(owner, static_cast<uint32_t>(kind), L"%ls", text);
}
