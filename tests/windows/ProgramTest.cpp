// Runs the real Zumbiko Update.exe and drives it from outside, as a user would.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "resources/ResourceIds.h"
#include "tests/windows/Screenshot.h"

namespace {

constexpr wchar_t kTitle[] = L"Zumbiko Update";
constexpr DWORD kPatienceMs = 15000;

// The build directory: this program lives in <build>\tests\windows.
std::wstring BuildDirectory() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path);
    for (int up = 0; up < 3; ++up) dir = dir.substr(0, dir.find_last_of(L"\\/"));
    return dir;
}

// The built program, or the copy a script placed beside a data file of its own.
std::wstring ProgramPath() {
    wchar_t placed[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"ZUMBIKO_PROGRAM", placed, MAX_PATH) != 0) return placed;
    return BuildDirectory() + L"\\app\\Zumbiko Update.exe";
}

bool WaitFor(const std::function<bool()>& condition) {
    for (DWORD waited = 0; waited < kPatienceMs; waited += 50) {
        if (condition()) return true;
        Sleep(50);
    }
    return condition();
}

class RunningProgram {
public:
    RunningProgram() {
        std::wstring command = L"\"" + ProgramPath() + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &process) != FALSE;
    }
    ~RunningProgram() {
        if (!started) return;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process.hProcess, 99);
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool Started() const { return started; }
    DWORD Id() const { return process.dwProcessId; }

    // Its main window, once the first idle pass has shown the language buttons.
    HWND MainWindow() const {
        HWND found = nullptr;
        WaitFor([&] {
            found = FindWindowW(L"#32770", kTitle);
            // The template shows every button; the first idle pass hides Update.
            return found != nullptr && IsWindowVisible(GetDlgItem(found, IDC_ENGLISH)) &&
                   !IsWindowVisible(GetDlgItem(found, IDC_UPDATE));
        });
        return found;
    }

    // The exit code, or STILL_ACTIVE if it did not end in time.
    DWORD ExitCode() const {
        WaitForSingleObject(process.hProcess, kPatienceMs);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION process{};
    bool started = false;
};

bool Visible(HWND window, int id) {
    return IsWindowVisible(GetDlgItem(window, id)) != FALSE;
}

struct MessageSearch {
    DWORD processId;
    HWND mainWindow;
    HWND found;
};

BOOL CALLBACK MatchMessage(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<MessageSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.processId && window != search.mainWindow && IsWindowVisible(window)) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

// A visible dialog of the program other than its main window: a message.
HWND MessageOf(const RunningProgram& program, HWND mainWindow) {
    MessageSearch search{program.Id(), mainWindow, nullptr};
    EnumWindows(MatchMessage, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Whether the screen shows the bar's blue at this x of the progress display: its frame at 1,
// the done part further in.
bool BarPainted(HWND progress, int x = 1) {
    RECT r{};
    GetWindowRect(progress, &r);
    HDC screen = GetDC(nullptr);
    const COLORREF frame = GetPixel(screen, r.left + x, r.top + 20);
    ReleaseDC(nullptr, screen);
    return GetBValue(frame) > 120 && GetRValue(frame) < 80;
}

std::wstring MessageText(HWND message) {
    wchar_t text[1024] = {};
    GetDlgItemTextW(message, IDC_MESSAGE_TEXT, text, 1024);
    return text;
}

// After a pause that lets the last paint reach the screen.
void Screenshot(HWND window, const wchar_t* name, DWORD settleMs = 300) {
    const std::wstring dir = BuildDirectory() + L"\\screenshots";
    CreateDirectoryW(dir.c_str(), nullptr);
    Sleep(settleMs);
    EXPECT_TRUE(SaveWindowPng(window, (dir + L"\\" + name).c_str()));
}

}  // namespace

TEST(Program, ShowsLanguagesThenUpdateAndEndsWithTheCloseButton) {
    RunningProgram program;
    ASSERT_TRUE(program.Started());
    HWND window = program.MainWindow();
    ASSERT_NE(nullptr, window);
    EXPECT_FALSE(Visible(window, IDC_UPDATE));
    EXPECT_TRUE(Visible(window, IDC_DEUTSCH));
    Screenshot(window, L"main-window-start.png");

    PostMessageW(GetDlgItem(window, IDC_ENGLISH), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return Visible(window, IDC_UPDATE); }));
    EXPECT_FALSE(Visible(window, IDC_ENGLISH));
    EXPECT_FALSE(Visible(window, IDC_DEUTSCH));
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(window, IDC_UPDATE)); }));
    Screenshot(window, L"main-window-after-language.png");

    PostMessageW(GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_EQ(0u, program.ExitCode());
}

TEST(Program, SecondStartHandsOverToTheFirstAndEndsWithZero) {
    RunningProgram first;
    HWND window = first.MainWindow();
    ASSERT_NE(nullptr, window);
    ShowWindow(window, SW_MINIMIZE);
    {
        RunningProgram second;
        ASSERT_TRUE(second.Started());
        EXPECT_EQ(0u, second.ExitCode());
    }
    EXPECT_TRUE(WaitFor([&] { return !IsIconic(window); }));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(window, FindWindowW(L"#32770", kTitle));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, first.ExitCode());

    // Once the first copy has gone, a new one starts normally.
    RunningProgram again;
    EXPECT_NE(nullptr, again.MainWindow());
    PostMessageW(again.MainWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, again.ExitCode());
}

TEST(Program, EscapeEndsTheProgram) {
    RunningProgram program;
    HWND window = program.MainWindow();
    ASSERT_NE(nullptr, window);
    SetForegroundWindow(window);
    PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(0u, program.ExitCode());
}

TEST(Program, CloseIsRefusedUntilTheRunHasShownItsResult) {
    RunningProgram program;
    HWND window = program.MainWindow();
    ASSERT_NE(nullptr, window);
    PostMessageW(GetDlgItem(window, IDC_DEUTSCH), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(window, IDC_UPDATE)); }));
    PostMessageW(GetDlgItem(window, IDC_UPDATE), BM_CLICK, 0, 0);

    // No handheld in this prefix: the run ends in its message while still under way.
    HWND message = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (message = MessageOf(program, window)) != nullptr; }));
    Screenshot(message, L"message-no-handheld.png");
    PostMessageW(window, WM_CLOSE, 0, 0);
    PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    Sleep(300);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(IsWindow(message));

    PostMessageW(message, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(message); }));
    EXPECT_TRUE(WaitFor([&] { return Visible(window, IDC_UPDATE); }));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.ExitCode());
}

TEST(Program, F1OpensTheAboutBox) {
    RunningProgram program;
    HWND window = program.MainWindow();
    ASSERT_NE(nullptr, window);
    SetForegroundWindow(window);
    PostMessageW(window, WM_KEYDOWN, VK_F1, 0);
    HWND about = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (about = MessageOf(program, window)) != nullptr; }));
    wchar_t caption[64] = {};
    GetWindowTextW(about, caption, 64);
    EXPECT_STREQ(L"About Zumbiko Update...", caption);
    Screenshot(about, L"about-box.png");
    PostMessageW(about, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(about); }));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.ExitCode());
}

// Run by tests/windows/gui-update.sh, which serves a handheld as drive E: and checks its
// memory afterwards.
TEST(Program, UpdatesTheHandheldOnDriveE) {
    wchar_t placed[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"ZUMBIKO_PROGRAM", placed, MAX_PATH) == 0) {
        GTEST_SKIP() << "needs a served handheld: tests/windows/gui-update.sh";
    }
    RunningProgram program;
    HWND window = program.MainWindow();
    ASSERT_NE(nullptr, window);
    PostMessageW(GetDlgItem(window, IDC_ENGLISH), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(window, IDC_UPDATE)); }));
    PostMessageW(GetDlgItem(window, IDC_UPDATE), BM_CLICK, 0, 0);

    HWND warning = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (warning = MessageOf(program, window)) != nullptr; }));
    EXPECT_EQ(L"Please do not remove the handheld during the update.", MessageText(warning));
    Screenshot(warning, L"message-do-not-remove.png");
    PostMessageW(warning, WM_COMMAND, IDOK, 0);

    // The bar moves while the image is written back; the window refuses to close meanwhile.
    EXPECT_TRUE(WaitFor([&] { return Visible(window, IDC_PROGRESS); }));
    PostMessageW(window, WM_CLOSE, 0, 0);
    bool painted = false;
    while (!painted && Visible(window, IDC_PROGRESS)) {
        painted = BarPainted(GetDlgItem(window, IDC_PROGRESS));
        if (!painted) Sleep(10);
    }
    EXPECT_TRUE(painted) << "the bar never showed while data moved";
    if (painted) Screenshot(window, L"main-window-progress.png", 0);
    // For the picture: a bar with some way behind it, when the transfer lets us catch it.
    while (Visible(window, IDC_PROGRESS)) {
        if (BarPainted(GetDlgItem(window, IDC_PROGRESS), 85)) {
            Screenshot(window, L"main-window-progress.png", 0);
            break;
        }
        Sleep(10);
    }

    HWND result = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        result = MessageOf(program, window);
        return result != nullptr && result != warning && IsWindowVisible(result);
    }));
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(L"Handheld device has been updated.\n\nReady to play!", MessageText(result));
    Screenshot(result, L"message-updated.png");
    PostMessageW(result, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return Visible(window, IDC_UPDATE); }));
    EXPECT_FALSE(Visible(window, IDC_PROGRESS));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.ExitCode());
}
