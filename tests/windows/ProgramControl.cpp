#include "tests/windows/ProgramControl.h"

#include "resources/ResourceIds.h"

bool WaitFor(const std::function<bool()>& condition, DWORD patienceMs) {
    for (DWORD waited = 0; waited < patienceMs; waited += 50) {
        if (condition()) return true;
        Sleep(50);
    }
    return condition();
}

RunningProgram::RunningProgram(const std::wstring& path) {
    std::wstring command = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process) != FALSE;
}

RunningProgram::~RunningProgram() {
    if (!started) return;
    if (Running()) TerminateProcess(process.hProcess, 99);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

bool RunningProgram::Running() const {
    return started && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT;
}

HWND RunningProgram::MainWindow() const {
    HWND found = nullptr;
    WaitFor([&] {
        found = FindWindowW(L"#32770", kProgramTitle);
        // The template shows every button; the first idle pass hides Update.
        return found != nullptr && ControlVisible(found, IDC_ENGLISH) &&
               !ControlVisible(found, IDC_UPDATE);
    });
    return found;
}

DWORD RunningProgram::ExitCode(DWORD patienceMs) const {
    if (!started) return STILL_ACTIVE;
    WaitForSingleObject(process.hProcess, patienceMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process.hProcess, &code);
    return code;
}

bool ControlVisible(HWND window, int id) {
    return IsWindowVisible(GetDlgItem(window, id)) != FALSE;
}

bool ControlEnabled(HWND window, int id) {
    return IsWindowEnabled(GetDlgItem(window, id)) != FALSE;
}

namespace {

struct WindowSearch {
    DWORD processId;
    HWND except;
    HWND alsoExcept;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.processId && window != search.except && window != search.alsoExcept &&
        IsWindowVisible(window)) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND OtherWindowOf(DWORD processId, HWND except, HWND alsoExcept) {
    WindowSearch search{processId, except, alsoExcept, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring ControlText(HWND dialog, int id) {
    wchar_t text[1024] = {};
    GetDlgItemTextW(dialog, id, text, 1024);
    return text;
}

std::string ControlsOutside(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    std::string outside;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r{}, inside{};
        GetWindowRect(child, &r);
        MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&r), 2);
        IntersectRect(&inside, &r, &client);
        if (IsWindowVisible(child) && !EqualRect(&inside, &r))
            outside += " " + std::to_string(GetDlgCtrlID(child));
    }
    return outside;
}

bool TextClearOfEdges(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    DWORD owner = 0;
    GetWindowThreadProcessId(control, &owner);
    HWND source = owner == GetCurrentProcessId() ? control : nullptr;
    if (source != nullptr) OffsetRect(&r, -r.left, -r.top);
    HDC shown = GetDC(source);
    // The ink is dark blue: little red, where the panels under it are light.
    const auto ink = [&](LONG x, LONG y) { return GetRValue(GetPixel(shown, x, y)) < 128; };
    bool clear = true;
    for (int x = r.left; x < r.right && clear; ++x) clear = !ink(x, r.top) && !ink(x, r.bottom - 1);
    for (int y = r.top; y < r.bottom && clear; ++y) clear = !ink(r.left, y) && !ink(r.right - 1, y);
    ReleaseDC(source, shown);
    return clear;
}

bool BarPainted(HWND progress, int x) {
    RECT r{};
    GetWindowRect(progress, &r);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, r.left + x, r.top + 20);
    ReleaseDC(nullptr, screen);
    return GetBValue(colour) > 120 && GetRValue(colour) < 80;
}
