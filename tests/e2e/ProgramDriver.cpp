#include "tests/e2e/ProgramDriver.h"

#include <cstdio>
#include <utility>

#include "resources/ResourceIds.h"
#include "tests/windows/Screenshot.h"

namespace {

// Texts are ASCII; line breaks are written as \n so that one message is one line.
std::string Printable(const std::wstring& text) {
    std::string out;
    for (const wchar_t c : text) {
        if (c == L'\n') {
            out += "\\n";
        } else if (c == L'\r') {
            out += "\\r";
        } else {
            out += c < 0x80 ? static_cast<char>(c) : '?';
        }
    }
    return out;
}

void Say(const char* format, const std::string& a = "", const std::string& b = "") {
    std::printf(format, a.c_str(), b.c_str());
    std::printf("\n");
    std::fflush(stdout);
}

std::string ShownAndEnabled(HWND window, int id) {
    return std::string(ControlVisible(window, id) ? "shown" : "hidden") + "," +
           (ControlEnabled(window, id) ? "enabled" : "disabled");
}

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

bool Inside(HWND shown, const std::string& what) {
    const std::string outside = ControlsOutside(shown);
    if (!outside.empty()) Say("failed: controls outside the %s:%s", what, outside);
    return outside.empty();
}

int ButtonId(const std::string& name) {
    if (name == "english") return IDC_ENGLISH;
    if (name == "deutsch") return IDC_DEUTSCH;
    if (name == "update") return IDC_UPDATE;
    if (name == "close") return IDCANCEL;
    return 0;
}

}  // namespace

ProgramDriver::ProgramDriver(std::wstring programPath, std::wstring shotDirectory,
                             std::wstring signalDirectory)
    : programPath(std::move(programPath)),
      shotDirectory(std::move(shotDirectory)),
      signalDirectory(std::move(signalDirectory)),
      icons(this->programPath) {}

bool ProgramDriver::NeedsWindow() const {
    if (window != nullptr) return true;
    Say("failed: no main window; start first");
    return false;
}

void ProgramDriver::SaveShot(HWND target, const std::string& name, DWORD settleMs) const {
    if (shotDirectory.empty() || name.empty()) return;
    CreateDirectoryW(shotDirectory.c_str(), nullptr);
    Sleep(settleMs);  // lets the last paint reach the screen
    const std::wstring path = shotDirectory + L"\\" + Wide(name) + L".png";
    Say(SaveWindowPng(target, path.c_str()) ? "screenshot: %s.png" : "failed: screenshot %s", name);
}

bool ProgramDriver::Start() {
    program = std::make_unique<RunningProgram>(programPath);
    if (!program->Started()) {
        Say("failed: the program did not start");
        return false;
    }
    window = program->MainWindow();
    if (window == nullptr) {
        Say("failed: no main window of class #32770 titled %s", Printable(kProgramTitle));
        return false;
    }
    Say("started: main window \"%s\"", Printable(kProgramTitle));
    return Controls();
}

bool ProgramDriver::StartSecondCopy() {
    if (!NeedsWindow()) return false;
    ShowWindow(window, SW_MINIMIZE);
    DWORD code = STILL_ACTIVE;
    {
        RunningProgram second(programPath);
        code = second.ExitCode();
    }
    const bool restored = WaitFor([&] { return !IsIconic(window); }, 5000);
    const bool same = FindWindowW(L"#32770", kProgramTitle) == window;
    Say("second copy: exit=%s", code == STILL_ACTIVE ? "still-running" : std::to_string(code));
    Say("first copy: %s", std::string(program->Running() && same ? "running" : "gone") +
                              (restored ? ", window restored" : ", window still minimised"));
    return code != STILL_ACTIVE;
}

bool ProgramDriver::Controls() {
    if (!NeedsWindow()) return false;
    std::printf("controls: english=%s deutsch=%s update=%s progress=%s close=%s\n",
                ShownAndEnabled(window, IDC_ENGLISH).c_str(),
                ShownAndEnabled(window, IDC_DEUTSCH).c_str(),
                ShownAndEnabled(window, IDC_UPDATE).c_str(),
                ControlVisible(window, IDC_PROGRESS) ? "shown" : "hidden",
                ShownAndEnabled(window, IDCANCEL).c_str());
    std::fflush(stdout);
    return Inside(window, "main window");
}

bool ProgramDriver::Click(const std::string& button) {
    if (!NeedsWindow()) return false;
    const int id = ButtonId(button);
    if (id == 0) {
        Say("failed: no button %s", button);
        return false;
    }
    // Posted: a handler that opens a modal dialog would hold a sent message until it closes.
    PostMessageW(GetDlgItem(window, id), BM_CLICK, 0, 0);
    Say("clicked: %s", button);
    return true;
}

bool ProgramDriver::Key(const std::string& key) {
    if (!NeedsWindow()) return false;
    const WPARAM code = key == "escape" ? VK_ESCAPE : key == "f1" ? VK_F1 : 0;
    if (code == 0) {
        Say("failed: no key %s", key);
        return false;
    }
    SetForegroundWindow(window);
    PostMessageW(window, WM_KEYDOWN, code, 0);
    Say("pressed: %s", key);
    return true;
}

bool ProgramDriver::WaitReady() {
    if (!NeedsWindow()) return false;
    if (!WaitFor([&] {
            return ControlVisible(window, IDC_UPDATE) && ControlEnabled(window, IDC_UPDATE);
        })) {
        Say("failed: Update never became ready");
        Controls();
        return false;
    }
    Say("ready");
    return Controls();
}

bool ProgramDriver::Message(const std::string& press, const std::string& shot) {
    if (!NeedsWindow()) return false;
    HWND message = std::exchange(heldMessage, nullptr);
    if (message == nullptr) {
        if (!WaitFor([&] {
                message = OtherWindowOf(program->Id(), window, lastMessage);
                return message != nullptr;
            })) {
            Say("failed: no message appeared");
            return false;
        }
        const bool whole = Report(message);
        SaveShot(message, shot);
        if (!whole) return false;
        // The main window must stay disabled under a modal message.
        Say("main window: %s", IsWindowEnabled(window) ? "enabled" : "disabled");
    }

    if (press == "hold") {
        heldMessage = message;
        Say("message held open");
        return true;
    }
    if (press == "ok") {
        PostMessageW(GetDlgItem(message, IDOK), BM_CLICK, 0, 0);
    } else if (press == "close") {
        PostMessageW(GetDlgItem(message, IDCANCEL), BM_CLICK, 0, 0);
    } else if (press == "enter" || press == "escape") {
        PostMessageW(message, WM_KEYDOWN, press == "enter" ? VK_RETURN : VK_ESCAPE, 0);
    } else {
        Say("failed: cannot press %s", press);
        return false;
    }
    if (!WaitFor([&] { return !IsWindow(message) || !IsWindowVisible(message); })) {
        Say("failed: the message stayed after %s", press);
        return false;
    }
    Say("message closed: %s", press);
    return true;
}

bool ProgramDriver::Report(HWND message) {
    lastMessage = message;
    // The picture is painted after the window shows; give it a moment, then look again.
    std::string icon;
    WaitFor(
        [&] {
            icon = icons.Identify(message);
            return icon != "unknown";
        },
        2000);
    Say("message: icon=%s text=\"%s\"", icon, Printable(ControlText(message, IDC_MESSAGE_TEXT)));
    const bool clear = TextClearOfEdges(GetDlgItem(message, IDC_MESSAGE_TEXT));
    if (!clear) Say("failed: the message text is cut at the edge of its box");
    return Inside(message, "message") && clear;
}

bool ProgramDriver::Watch() {
    if (!NeedsWindow()) return false;
    Say("watching: click through the window; close it to end");
    while (program->Running()) {
        HWND other = OtherWindowOf(program->Id(), window, lastMessage);
        // The About box has no message text; it is not a result.
        if (other != nullptr && GetDlgItem(other, IDC_MESSAGE_TEXT) != nullptr) Report(other);
        Sleep(100);
    }
    return Exit();
}

bool ProgramDriver::Progress(const std::string& shot) {
    if (!NeedsWindow()) return false;
    if (!WaitFor([&] { return ControlVisible(window, IDC_PROGRESS); })) {
        Say("failed: the progress display never showed");
        return false;
    }
    Controls();
    HWND bar = GetDlgItem(window, IDC_PROGRESS);
    RECT r{};
    GetWindowRect(bar, &r);
    const int half = (r.right - r.left) / 2;
    // Polled without a timeout of its own: the run either passes half or hides the bar.
    while (ControlVisible(window, IDC_PROGRESS)) {
        if (BarPainted(bar, half)) {
            SaveShot(window, shot, 0);
            Say("progress: half way");
            return true;
        }
        Sleep(10);
    }
    Say("progress: ended before half way");
    return true;
}

bool ProgramDriver::CloseDuringWrite() {
    if (!NeedsWindow()) return false;
    HWND bar = GetDlgItem(window, IDC_PROGRESS);
    RECT r{};
    GetWindowRect(bar, &r);
    const int someWay = (r.right - r.left) / 5;
    if (!WaitFor(
            [&] { return ControlVisible(window, IDC_PROGRESS) && BarPainted(bar, someWay); })) {
        Say("failed: no write under way to interrupt");
        return false;
    }
    PostMessageW(GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
    PostMessageW(window, WM_CLOSE, 0, 0);
    // What another program can post meanwhile: the hidden English button, F1.
    PostMessageW(GetDlgItem(window, IDC_ENGLISH), BM_CLICK, 0, 0);
    PostMessageW(window, WM_KEYDOWN, VK_F1, 0);
    DWORD_PTR shutdown = TRUE;
    DWORD_PTR hit = HTNOWHERE;
    SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, 0, SMTO_BLOCK, kPatienceMs, &shutdown);
    SendMessageTimeoutW(window, WM_NCHITTEST, 0, 0, SMTO_BLOCK, kPatienceMs, &hit);
    Sleep(300);
    const bool stayed = IsWindow(window) && program->Running();
    Say("close during write: %s", stayed ? "refused" : "window gone");
    Say("during write: about=%s update=%s",
        OtherWindowOf(program->Id(), window) != nullptr ? "opened" : "refused",
        ControlVisible(window, IDC_UPDATE) ? "shown" : "hidden");
    Say("during write: shutdown=%s drag=%s", shutdown == FALSE ? "refused" : "allowed",
        hit == HTCAPTION ? "on" : "off");
    return stayed;
}

bool ProgramDriver::About(const std::string& shot) {
    if (!NeedsWindow()) return false;
    SetForegroundWindow(window);
    PostMessageW(window, WM_KEYDOWN, VK_F1, 0);
    HWND about = nullptr;
    if (!WaitFor([&] { return (about = OtherWindowOf(program->Id(), window)) != nullptr; })) {
        Say("failed: no About box");
        return false;
    }
    wchar_t caption[128] = {};
    GetWindowTextW(about, caption, 128);
    Say("about: \"%s\" %s", Printable(caption), Printable(ControlText(about, IDC_ABOUT_VERSION)));
    SaveShot(about, shot);
    PostMessageW(about, WM_KEYDOWN, VK_ESCAPE, 0);
    if (!WaitFor([&] { return !IsWindow(about); })) {
        Say("failed: the About box stayed after escape");
        return false;
    }
    return true;
}

bool ProgramDriver::Shot(const std::string& name) {
    if (!NeedsWindow()) return false;
    SaveShot(window, name);
    return true;
}

bool ProgramDriver::Exit() {
    if (!program) return NeedsWindow();
    const DWORD code = program->ExitCode();
    Say("exit: %s", code == STILL_ACTIVE ? "still running" : std::to_string(code));
    window = nullptr;
    return code != STILL_ACTIVE;
}

bool ProgramDriver::Await(const std::string& name) {
    const std::wstring path = signalDirectory + L"\\" + Wide(name);
    Say("awaiting: %s", name);
    if (!WaitFor([&] { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; },
                 60000)) {
        Say("failed: no signal %s", name);
        return false;
    }
    return true;
}
