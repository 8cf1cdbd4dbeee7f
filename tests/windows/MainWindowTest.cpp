#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "app/Application.h"
#include "app/core/RefPtr.h"
#include "engine/DeviceImage.h"
#include "engine/UpdateController.h"
#include "platform/win32/Win32Handles.h"
#include "resources/ResourceIds.h"
#include "tests/support/StandIns.h"
#include "tests/windows/WindowTestSupport.h"
#include "ui/MainWindow.h"

namespace {

// A main window as the program makes it, attached to the controller, never running an update.
class MainWindowTest : public testing::Test {
protected:
    void SetUp() override {
        g_updateController.SetState(UpdateController::Start);
        languageIndex = kLanguageEnglish;
        window = new MainWindow();
        g_updateController.Attach({&scanner, window.Get(), nullptr, &g_deviceImage});
        ASSERT_TRUE(window->Create(g_instance, nullptr, IDD_MAIN_WINDOW));
        handle = window->Handle();
    }
    void TearDown() override {
        g_updateController.Detach();
        g_updateController.SetState(UpdateController::Start);
        if (IsWindow(handle)) DestroyWindow(handle);
        window.Reset();
        // The destroyed window posted its quit message; leave nothing for the next test.
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    bool Visible(int id) const { return IsWindowVisible(GetDlgItem(handle, id)) != FALSE; }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(handle, id)) != FALSE; }
    void Command(int id) { SendMessageW(handle, WM_COMMAND, id, 0); }
    // A close request: the dialog manager posts the close command it becomes.
    void Close() {
        SendMessageW(handle, WM_CLOSE, 0, 0);
        MSG message;
        while (IsWindow(handle) && PeekMessageW(&message, handle, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
    }
    // Whether the progress display waits for a repaint.
    bool ProgressInvalid() const {
        RECT r{};
        return GetUpdateRect(GetDlgItem(handle, IDC_PROGRESS), &r, FALSE) != FALSE;
    }
    void ShowProgressPainted() {
        ShowWindow(GetDlgItem(handle, IDC_PROGRESS), SW_SHOW);
        UpdateWindow(handle);
        PumpPending();
        ASSERT_FALSE(ProgressInvalid());
    }

    FakeScanner scanner;  // finds nothing
    RefPtr<MainWindow> window;
    HWND handle = nullptr;
};

SIZE BitmapSize(int id) {
    const BitmapHandle bitmap(static_cast<HBITMAP>(
        LoadImageW(g_instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP info{};
    GetObjectW(bitmap.Get(), sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

bool Overlap(const RECT& a, const RECT& b) {
    RECT both{};
    return IntersectRect(&both, &a, &b) != FALSE;
}

}  // namespace

// The skin fills the window; each button shows its artwork whole; every control lies on the
// skin, and none covers another shown with it: the language choice, the Update button and the
// progress display each beside the close button.
TEST_F(MainWindowTest, SetUpSizesTheSkinAndPlacesEveryControl) {
    const SIZE client = ClientSize(handle);
    const SIZE skin = BitmapSize(IDB_SKIN);
    EXPECT_EQ(skin.cx, client.cx);
    EXPECT_EQ(skin.cy, client.cy);
    for (const auto& [id, bitmap] : {std::pair{IDC_UPDATE, IDB_UPDATE}, {IDCANCEL, IDB_CLOSE}}) {
        const RECT r = ControlRect(handle, id);
        EXPECT_EQ(BitmapSize(bitmap).cx, r.right - r.left) << id;
        EXPECT_EQ(BitmapSize(bitmap).cy, r.bottom - r.top) << id;
    }
    const RECT window{0, 0, client.cx, client.cy};
    for (const int id : {IDC_UPDATE, IDCANCEL, IDC_PROGRESS, IDC_ENGLISH, IDC_DEUTSCH}) {
        const RECT r = ControlRect(handle, id);
        RECT inside{};
        IntersectRect(&inside, &r, &window);
        EXPECT_TRUE(EqualRect(&inside, &r) && !IsRectEmpty(&r)) << id;
    }
    const RECT close = ControlRect(handle, IDCANCEL);
    for (const int id : {IDC_UPDATE, IDC_PROGRESS, IDC_ENGLISH, IDC_DEUTSCH}) {
        EXPECT_FALSE(Overlap(ControlRect(handle, id), close)) << id;
    }
    EXPECT_FALSE(Overlap(ControlRect(handle, IDC_ENGLISH), ControlRect(handle, IDC_DEUTSCH)));
    EXPECT_FALSE(Visible(IDC_PROGRESS));

    wchar_t title[64] = {};
    GetWindowTextW(handle, title, 64);
    EXPECT_STREQ(L"Zumbiko Update", title);
    EXPECT_NE(0, SendMessageW(handle, WM_GETICON, ICON_BIG, 0));
    // A top-level window's id slot is its menu: it has none.
    EXPECT_EQ(0, GetWindowLongPtrW(handle, GWLP_ID));
    EXPECT_EQ(nullptr, GetMenu(handle));
    // Centred on the work area.
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    RECT frame{};
    GetWindowRect(handle, &frame);
    EXPECT_NEAR(area.left + area.right, frame.left + frame.right, 1);
}

TEST_F(MainWindowTest, LanguageThenUpdateWalkTheControllerStates) {
    EXPECT_TRUE(Visible(IDC_UPDATE));  // the template's visibility stands until the first pass
    window->OnIdle();
    EXPECT_EQ(UpdateController::ChoosingLanguage, g_updateController.GetState());
    EXPECT_FALSE(Visible(IDC_UPDATE));
    EXPECT_TRUE(Visible(IDC_ENGLISH) && Enabled(IDC_ENGLISH));
    EXPECT_TRUE(Visible(IDC_DEUTSCH) && Enabled(IDC_DEUTSCH));

    Command(IDC_UPDATE);  // not ready yet: ignored
    EXPECT_EQ(UpdateController::ChoosingLanguage, g_updateController.GetState());

    Command(IDC_DEUTSCH);
    EXPECT_EQ(kLanguageGerman, languageIndex);
    EXPECT_EQ(UpdateController::Ready, g_updateController.GetState());
    EXPECT_TRUE(Visible(IDC_UPDATE));
    EXPECT_FALSE(Visible(IDC_ENGLISH) || Visible(IDC_DEUTSCH));
    window->OnIdle();
    EXPECT_TRUE(Enabled(IDC_UPDATE));

    EXPECT_EQ(1, SendMessageW(handle, WM_COMMAND, IDC_UPDATE, 0));
    EXPECT_EQ(UpdateController::UpdateRequested, g_updateController.GetState());
    window->OnIdle();
    EXPECT_EQ(UpdateController::Updating, g_updateController.GetState());
    EXPECT_TRUE(Visible(IDC_UPDATE));
    EXPECT_FALSE(Enabled(IDC_UPDATE));
    // A second press outside state 2 changes nothing.
    EXPECT_EQ(1, SendMessageW(handle, WM_COMMAND, IDC_UPDATE, 0));
    EXPECT_EQ(UpdateController::Updating, g_updateController.GetState());
    g_updateController.SetState(UpdateController::Ready);  // never run the update here
}

TEST_F(MainWindowTest, ProgressRepaintsOnlyWhenThePositionChanges) {
    ShowProgressPainted();
    window->SetProgressRange(0, 509);
    EXPECT_FALSE(ProgressInvalid());
    window->SetProgressPos(0);
    EXPECT_FALSE(ProgressInvalid());

    window->StepProgress(2);
    EXPECT_EQ(2, window->Progress().pos);
    EXPECT_TRUE(ProgressInvalid());
    PumpPending();
    EXPECT_FALSE(ProgressInvalid());

    for (int i = 1; i < 254; ++i) window->StepProgress(2);
    EXPECT_EQ(508, window->Progress().pos);
    window->StepProgress(5);  // stops at the top of the range
    EXPECT_EQ(509, window->Progress().pos);
    PumpPending();
    window->StepProgress(1);
    window->StepProgress(0);
    window->SetProgressPos(600);
    EXPECT_EQ(509, window->Progress().pos);
    EXPECT_FALSE(ProgressInvalid());
}

TEST_F(MainWindowTest, CloseIsRefusedWhileARunIsUnderWay) {
    g_updateController.SetState(UpdateController::Updating);
    Close();
    EXPECT_TRUE(IsWindow(handle));
    SendMessageW(handle, WM_COMMAND, IDCANCEL, 0);  // the close button and Esc
    EXPECT_TRUE(IsWindow(handle));

    // A transfer under way counts too, whatever the state says.
    g_updateController.SetState(UpdateController::Ready);
    window->RaiseBusy();
    Close();
    EXPECT_TRUE(IsWindow(handle));
    window->LowerBusy();

    Close();
    EXPECT_FALSE(IsWindow(handle));
    // The quit message is there for the main loop.
    EXPECT_FALSE(Application::PumpMessages());
    EXPECT_TRUE(Application::QuitTaken());
}

TEST_F(MainWindowTest, AnIdlePassAfterTheWindowIsGoneStepsNothing) {
    DestroyWindow(handle);
    window->OnIdle();
    EXPECT_EQ(UpdateController::Start, g_updateController.GetState());
}

// Inside a run nothing may start a modal loop (the About box, the system's move loop) nor
// change the state (a hidden button's command posted by another program); shutting down is
// refused only while the handheld is in use.
TEST_F(MainWindowTest, GuardsFitEachPhaseOfARun) {
    struct Phase {
        const char* name;
        UpdateController::State state;
        bool transfer;
        bool handheldInUse;
    };
    const Phase phases[] = {
        {"choosing a language", UpdateController::ChoosingLanguage, false, false},
        {"ready", UpdateController::Ready, false, false},
        {"a message of the run open", UpdateController::Updating, false, false},
        {"reading or writing", UpdateController::Updating, true, true},
        {"writing the closing block", UpdateController::Updating, false, true},
    };
    const MenuHandle menus(LoadMenuW(g_instance, MAKEINTRESOURCEW(IDR_SKIN_MENU)));
    HMENU popup = GetSubMenu(menus.Get(), 0);
    ASSERT_NE(nullptr, popup);
    MSG f1{handle, WM_KEYDOWN, VK_F1, 0, 0, {}};
    const auto leaveOpen = [](HWND) {};
    const std::function<void()> aboutWays[] = {
        [&] { SendMessageW(handle, WM_HELP, 0, 0); },
        [&] { SendMessageW(handle, WM_COMMAND, IDM_ABOUT, 0); },
        [&] { window->TranslateShortcut(f1); },
    };
    for (const Phase& phase : phases) {
        SCOPED_TRACE(phase.name);
        const bool inRun = phase.state == UpdateController::Updating;
        g_updateController.SetState(phase.state);
        if (phase.transfer) window->RaiseBusy();
        window->SetHandheldInUse(phase.handheldInUse);

        for (const auto& openAbout : aboutWays) {
            EXPECT_EQ(!inRun, WhileModal(handle, leaveOpen, openAbout));
        }
        SendMessageW(handle, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
        EXPECT_EQ(inRun, (GetMenuState(popup, IDM_ABOUT, MF_BYCOMMAND) & MF_GRAYED) != 0);
        EXPECT_EQ(inRun ? HTCLIENT : HTCAPTION, SendMessageW(handle, WM_NCHITTEST, 0, 0));
        EXPECT_EQ(phase.handheldInUse, SendMessageW(handle, WM_QUERYENDSESSION, 0, 0) == 0);

        // English counts only while choosing; Update, then, only when ready.
        languageIndex = kLanguageGerman;
        Command(IDC_ENGLISH);
        Command(IDC_UPDATE);
        const bool choosing = phase.state == UpdateController::ChoosingLanguage;
        EXPECT_EQ(choosing ? kLanguageEnglish : kLanguageGerman, languageIndex);
        EXPECT_EQ(inRun ? UpdateController::Updating : UpdateController::UpdateRequested,
                  g_updateController.GetState());

        if (phase.transfer) window->LowerBusy();
        window->SetHandheldInUse(false);
    }
}

TEST_F(MainWindowTest, AboutBoxShowsTheExecutablesVersionResourceOverTheWindow) {
    std::wstring caption, name, version, notice;
    RECT box{}, owner{};
    GetWindowRect(handle, &owner);
    const auto read = [](HWND dialog, int id) {
        wchar_t text[256] = {};
        GetDlgItemTextW(dialog, id, text, 256);
        return std::wstring(text);
    };
    const bool seen = WhileModal(
        handle,
        [&](HWND dialog) {
            wchar_t text[256] = {};
            GetWindowTextW(dialog, text, 256);
            caption = text;
            name = read(dialog, IDC_ABOUT_NAME);
            version = read(dialog, IDC_ABOUT_VERSION);
            notice = read(dialog, IDC_ABOUT_NOTICE);
            GetWindowRect(dialog, &box);
        },
        [&] { SendMessageW(handle, WM_HELP, 0, 0); });
    ASSERT_TRUE(seen);
    EXPECT_EQ(L"About Zumbiko Update...", caption);
    EXPECT_EQ(L"Zumbiko Update", name);
    EXPECT_EQ(0u, version.find(L"1.0.0.0 (")) << std::string(version.begin(), version.end());
    EXPECT_EQ(L')', version.back());
    EXPECT_EQ(0u, notice.find(L"Copyright"));
    // Centred on the main window, not on the screen.
    EXPECT_NEAR(owner.left + owner.right, box.left + box.right, 1);
    EXPECT_NEAR(owner.top + owner.bottom, box.top + box.bottom, 1);
    EXPECT_TRUE(IsWindowEnabled(handle));
}

namespace {

bool g_menuSeen = false;

// Runs inside the menu's own loop: notes that a menu is up, then closes it.
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (GetGUIThreadInfo(GetCurrentThreadId(), &info) && (info.flags & GUI_INMENUMODE) != 0) {
        g_menuSeen = true;
    }
    KillTimer(nullptr, timer);
    EndMenu();
}

bool ContextMenuOpens(HWND window) {
    g_menuSeen = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseMenu);
    SendMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(-1, -1));
    KillTimer(nullptr, timer);
    return g_menuSeen;
}

}  // namespace

TEST_F(MainWindowTest, RightClickMenuOpensExceptWhileARunIsUnderWay) {
    EXPECT_TRUE(ContextMenuOpens(handle));
    g_updateController.SetState(UpdateController::Updating);
    EXPECT_FALSE(ContextMenuOpens(handle));
    g_updateController.SetState(UpdateController::Ready);
}
