// Starts the real program and watches it from outside: how long until its skin is on the
// screen, then how it sits in its first two states while the caller measures it.
//
//   at-rest-probe PROGRAM SECONDS   first paint, then SECONDS in state 1 and in state 2
//   at-rest-probe --start-cost      how long Wine takes to start and end a program that does
//                                   nothing (this one)
//
// Prints one "key value" line per figure and marks the measured spans with
// "state1-begin"/"state1-end" and "state2-begin"/"state2-end".
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "resources/ResourceIds.h"

namespace {

constexpr wchar_t kDialogClass[] = L"#32770";
constexpr wchar_t kTitle[] = L"Zumbiko Update";
constexpr double kPatienceMs = 20000;
// After the first idle pass the skin is watched this long more to learn its settled look.
constexpr double kSettleMs = 1500;
constexpr int kSamples = 5;
// Quiet time after each measured span, for the caller to read the figures of its end.
constexpr DWORD kHoldMs = 1000;

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void Say(const char* key, double value) {
    std::printf("%s %.1f\n", key, value);
    std::fflush(stdout);
}

void Mark(const char* what) {
    std::printf("%s\n", what);
    std::fflush(stdout);
}

class Process {
public:
    explicit Process(std::wstring commandLine) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &info) != FALSE;
    }
    ~Process() {
        if (!started) return;
        if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(info.hProcess, 99);
        }
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Started() const { return started; }
    DWORD Id() const { return info.dwProcessId; }
    DWORD Wait(DWORD milliseconds) const {
        WaitForSingleObject(info.hProcess, milliseconds);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(info.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION info{};
    bool started = false;
};

bool Visible(HWND window, int id) {
    return IsWindowVisible(GetDlgItem(window, id)) != FALSE;
}

// Screen pixels spread over the window: what the user sees of it.
struct Look {
    double atMs = 0;
    COLORREF pixels[kSamples] = {};
    int Matching(const Look& other) const {
        int same = 0;
        for (int i = 0; i < kSamples; ++i) same += pixels[i] == other.pixels[i];
        return same;
    }
};

Look LookOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    static const int kAt[kSamples][2] = {{1, 1}, {1, 3}, {3, 1}, {3, 3}, {2, 2}};
    Look look;
    HDC screen = GetDC(nullptr);
    for (int i = 0; i < kSamples; ++i) {
        look.pixels[i] = GetPixel(screen, r.left + w * kAt[i][0] / 4, r.top + h * kAt[i][1] / 4);
    }
    ReleaseDC(nullptr, screen);
    look.atMs = NowMs();
    return look;
}

bool WaitFor(double patienceMs, bool (*condition)(HWND), HWND window) {
    const double until = NowMs() + patienceMs;
    while (NowMs() < until) {
        if (condition(window)) return true;
        Sleep(10);
    }
    return condition(window);
}

bool ReadyForUpdate(HWND window) {
    return Visible(window, IDC_UPDATE) && IsWindowEnabled(GetDlgItem(window, IDC_UPDATE));
}

int StartCost() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const double start = NowMs();
    Process nothing(L"\"" + std::wstring(self) + L"\" --nothing");
    if (!nothing.Started() || nothing.Wait(static_cast<DWORD>(kPatienceMs)) != 0) return 1;
    Say("start-cost-ms", NowMs() - start);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && std::wstring(argv[1]) == L"--nothing") return 0;
    if (argc == 2 && std::wstring(argv[1]) == L"--start-cost") return StartCost();
    if (argc != 3) {
        std::fprintf(stderr, "usage: at-rest-probe PROGRAM SECONDS | --start-cost\n");
        return 2;
    }
    const DWORD restMs = static_cast<DWORD>(_wtoi(argv[2])) * 1000;

    const double start = NowMs();
    Process program(L"\"" + std::wstring(argv[1]) + L"\"");
    if (!program.Started()) {
        std::fprintf(stderr, "at-rest-probe: could not start the program\n");
        return 1;
    }

    // Watch the screen from the first sight of the window until its look has settled.
    HWND window = nullptr;
    double windowMs = 0, idleMs = 0;
    std::vector<Look> looks;
    while (NowMs() - start < kPatienceMs) {
        if (window == nullptr) {
            window = FindWindowW(kDialogClass, kTitle);
            if (window != nullptr) windowMs = NowMs() - start;
        }
        if (window != nullptr && IsWindowVisible(window)) {
            looks.push_back(LookOf(window));
            if (idleMs == 0 && Visible(window, IDC_ENGLISH) && !Visible(window, IDC_UPDATE)) {
                idleMs = NowMs() - start;
            }
            if (idleMs != 0 && NowMs() - start > idleMs + kSettleMs) break;
        }
        Sleep(1);
    }
    if (window == nullptr || idleMs == 0 || looks.empty()) {
        std::fprintf(stderr, "at-rest-probe: the main window did not come up\n");
        return 1;
    }
    // Painted: all but one sample show the settled skin (the first idle pass may still hide a
    // button under one). Settled: from there on the look no longer changes.
    const Look& last = looks.back();
    size_t painted = 0;
    while (looks[painted].Matching(last) < kSamples - 1) ++painted;
    size_t settled = looks.size() - 1;
    while (settled > 0 && looks[settled - 1].Matching(last) == kSamples) --settled;
    Say("window-ms", windowMs);
    Say("first-paint-ms", looks[painted].atMs - start);
    Say("settled-ms", looks[settled].atMs - start);
    Say("first-idle-ms", idleMs);
    std::printf("program-id %lu\n", program.Id());
    std::fflush(stdout);

    if (restMs != 0) {
        Mark("state1-begin");
        Sleep(restMs);
        Mark("state1-end");
        // The caller reads its figures now; nothing may change under it.
        Sleep(kHoldMs);
        PostMessageW(GetDlgItem(window, IDC_ENGLISH), BM_CLICK, 0, 0);
        if (!WaitFor(kPatienceMs, ReadyForUpdate, window)) {
            std::fprintf(stderr, "at-rest-probe: no state 2 after choosing English\n");
            return 1;
        }
        // Let the language change finish painting before measuring the rest.
        Sleep(500);
        Mark("state2-begin");
        Sleep(restMs);
        Mark("state2-end");
        Sleep(kHoldMs);
    }

    PostMessageW(GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
    const DWORD code = program.Wait(static_cast<DWORD>(kPatienceMs));
    std::printf("exit-code %lu\n", code);
    return code == 0 ? 0 : 1;
}
