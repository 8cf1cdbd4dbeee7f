// Runs the real Zumbiko Update.exe and drives it from outside, as a user would.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "resources/ResourceIds.h"
#include "tests/windows/ProgramControl.h"
#include "tests/windows/Screenshot.h"

namespace {

// The build directory: this program lives in <build>\tests\windows.
std::wstring BuildDirectory() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path);
    for (int up = 0; up < 3; ++up) dir = dir.substr(0, dir.find_last_of(L"\\/"));
    return dir;
}

std::wstring ProgramPath() {
    return BuildDirectory() + L"\\app\\Zumbiko Update.exe";
}

bool Visible(HWND window, int id) {
    return ControlVisible(window, id);
}

// A visible dialog of the program other than its main window: a message.
HWND MessageOf(const RunningProgram& program, HWND mainWindow) {
    return OtherWindowOf(program.Id(), mainWindow);
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
    RunningProgram program(ProgramPath());
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
    RunningProgram first(ProgramPath());
    HWND window = first.MainWindow();
    ASSERT_NE(nullptr, window);
    ShowWindow(window, SW_MINIMIZE);
    {
        RunningProgram second(ProgramPath());
        ASSERT_TRUE(second.Started());
        EXPECT_EQ(0u, second.ExitCode());
    }
    EXPECT_TRUE(WaitFor([&] { return !IsIconic(window); }));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(window, FindWindowW(L"#32770", kProgramTitle));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, first.ExitCode());

    // Once the first copy has gone, a new one starts normally.
    RunningProgram again(ProgramPath());
    EXPECT_NE(nullptr, again.MainWindow());
    PostMessageW(again.MainWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, again.ExitCode());
}

TEST(Program, EscapeEndsTheProgram) {
    RunningProgram program(ProgramPath());
    HWND window = program.MainWindow();
    ASSERT_NE(nullptr, window);
    SetForegroundWindow(window);
    PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(0u, program.ExitCode());
}

TEST(Program, CloseIsRefusedUntilTheRunHasShownItsResult) {
    RunningProgram program(ProgramPath());
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
    RunningProgram program(ProgramPath());
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
