// The message pump and the state every window reads: below the windows, so that a transfer's
// pump in the main window and the main loop's are the same.
#include "app/Application.h"
#include "app/Dialog.h"

HINSTANCE g_instance = nullptr;
RefPtr<ModelessDialog> g_mainWindow;

wchar_t Application::title[kTitleCapacity] = {};
bool Application::quitTaken = false;

bool Application::PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Remembered, so a pump inside a transfer cannot swallow it for the main loop.
            quitTaken = true;
            return false;
        }
        if (g_mainWindow && g_mainWindow->TranslateShortcut(message)) continue;
        if (g_activeDialog != nullptr && IsDialogMessageW(g_activeDialog, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return true;
}
