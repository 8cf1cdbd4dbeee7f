#include "tests/windows/WindowTestSupport.h"

#include <commctrl.h>

#include "app/Application.h"
#include "resources/ResourceIds.h"

namespace {

// What WinMain and Application::Run do before any window exists.
const bool g_programReady = [] {
    g_instance = GetModuleHandleW(nullptr);
    LoadStringW(g_instance, IDS_PROGRAM_TITLE, Application::title, kTitleCapacity);
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    return true;
}();

constexpr UINT kPollMs = 20;
constexpr int kGiveUpPolls = 250;

struct ModalWatch {
    HWND owner = nullptr;
    const std::function<void(HWND)>* inspect = nullptr;
    bool seen = false;
    int polls = 0;
};
ModalWatch* g_watch = nullptr;

struct ModalSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK MatchModal(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<ModalSearch*>(data);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (window != search.owner && IsWindowVisible(window) && IsWindowEnabled(window) &&
        GetWindow(window, GW_OWNER) == search.owner && lstrcmpW(className, L"#32770") == 0) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

// A dialog of this thread that the owner (or nobody) owns, showing and enabled.
HWND FindModal(HWND owner) {
    ModalSearch search{owner, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchModal, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void CALLBACK PollForModal(HWND, UINT, UINT_PTR timer, DWORD) {
    if (g_watch == nullptr) return;
    HWND dialog = FindModal(g_watch->owner);
    if (g_watch->seen) {
        // What `inspect` posted came before this tick; a dialog still up was left open.
        if (dialog != nullptr) EndDialog(dialog, kLeftOpen);
        return;
    }
    if (dialog == nullptr) {
        if (++g_watch->polls > kGiveUpPolls) KillTimer(nullptr, timer);
        return;
    }
    g_watch->seen = true;
    UpdateWindow(dialog);
    (*g_watch->inspect)(dialog);
}

}  // namespace

RECT ControlRect(HWND dialog, int id) {
    RECT r{};
    HWND control = GetDlgItem(dialog, id);
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

SIZE ClientSize(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

void PumpPending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool WhileModal(HWND owner, const std::function<void(HWND dialog)>& inspect,
                const std::function<void()>& start) {
    ModalWatch watch;
    watch.owner = owner;
    watch.inspect = &inspect;
    g_watch = &watch;
    // A thread timer: the dialog's own modal loop dispatches it.
    const UINT_PTR timer = SetTimer(nullptr, 0, kPollMs, PollForModal);
    start();
    KillTimer(nullptr, timer);
    g_watch = nullptr;
    return watch.seen;
}
