// The entry point: OLE for the thread's life around the application. Exit code always 0.
#include <ole2.h>
#include <windows.h>

#include "app/Application.h"
#include "app/ProcessStart.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    PrepareProcess();
    g_instance = instance;
    if (FAILED(OleInitialize(nullptr))) return 0;
    Application::Run();
    OleUninitialize();
    return 0;
}
