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
        std::wstring command = L"\"" + BuildDirectory() + L"\\app\\Zumbiko Update.exe\"";
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
            return found != nullptr && IsWindowVisible(GetDlgItem(found, IDC_ENGLISH));
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

void Screenshot(HWND window, const wchar_t* name) {
    const std::wstring dir = BuildDirectory() + L"\\screenshots";
    CreateDirectoryW(dir.c_str(), nullptr);
    Sleep(300);  // let the last paint reach the screen
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
