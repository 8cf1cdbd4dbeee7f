// Starting the real program and looking at its windows from another process, as a person
// would see them: shared by the program tests and the UI driver.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

constexpr wchar_t kProgramTitle[] = L"Zumbiko Update";
constexpr DWORD kPatienceMs = 15000;

// Polls every 50 ms until the condition holds or the patience runs out; its last answer.
bool WaitFor(const std::function<bool()>& condition, DWORD patienceMs = kPatienceMs);

// One started copy of the program; a copy still running at the end is terminated.
class RunningProgram {
public:
    explicit RunningProgram(const std::wstring& path);
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool Started() const { return started; }
    DWORD Id() const { return process.dwProcessId; }
    bool Running() const;
    // Its main window, once the first idle pass has shown the language buttons.
    HWND MainWindow() const;
    // The exit code, or STILL_ACTIVE if it did not end in time.
    DWORD ExitCode(DWORD patienceMs = kPatienceMs) const;

private:
    PROCESS_INFORMATION process{};
    bool started = false;
};

bool ControlVisible(HWND window, int id);
bool ControlEnabled(HWND window, int id);
// A visible top-level window of the process other than `except`: a message or the About box.
HWND OtherWindowOf(DWORD processId, HWND except, HWND alsoExcept = nullptr);
std::wstring ControlText(HWND dialog, int id);
// The ids of a window's shown controls that reach past its client area ("" when none do).
std::string ControlsOutside(HWND window);
// Whether no pixel of the skin texts' blue ink touches the control's edges (as drawn, or shown).
bool TextClearOfEdges(HWND control);
// Whether the screen shows the bar's blue at this x of the progress display: its frame at 1,
// the done part further in.
bool BarPainted(HWND progress, int x = 1);
