// The life of the process: single instance, main window, main loop and shutdown.
#pragma once

#include <windows.h>

#include "app/core/RefPtr.h"

class MainWindow;

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
    static void MainLoop(MainWindow& window);

    static bool quitTaken;
};

extern HINSTANCE g_instance;
extern RefPtr<MainWindow> g_mainWindow;
