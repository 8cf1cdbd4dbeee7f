// The life of the process: single instance, main window, main loop and shutdown. Run and the
// main loop create the skinned windows, so they are the program's own (app/main/); the title,
// the instance and the pump that every window uses lie below the windows (MessagePump.cpp).
#pragma once

#include <windows.h>

#include "app/core/RefPtr.h"

class ModelessDialog;

constexpr int kTitleCapacity = 256;

class Application {
public:
    // The program title from string-table entry 1, also the main window's caption.
    static wchar_t title[kTitleCapacity];

    // Everything after OLE is up, until the main loop ends or start-up fails.
    static void Run();
    // Handles every waiting message; false as soon as it takes WM_QUIT.
    static bool PumpMessages();
    // Whether any pump, the main loop's or one inside a transfer, has taken WM_QUIT.
    static bool QuitTaken() { return quitTaken; }

private:
    static void MainLoop(ModelessDialog& window);

    static bool quitTaken;
};

extern HINSTANCE g_instance;
// The main window, seen by the dialog framework's base: the pump asks it for its shortcuts.
extern RefPtr<ModelessDialog> g_mainWindow;
