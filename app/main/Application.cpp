#include "app/Application.h"

#include <commctrl.h>
#include <dbt.h>

#include "app/Dialog.h"
#include "app/main/UpdateWiring.h"
#include "platform/win32/Win32Handles.h"
#include "resources/ResourceIds.h"
#include "ui/MainWindow.h"

namespace {

constexpr wchar_t kInstanceMutexName[] = L"{A83118B9-C3F5-4C2F-AAE1-272CA174C434}";
constexpr wchar_t kDialogClass[] = L"#32770";
constexpr DWORD kLoopWaitMs = 100;
// Keys, mouse, posted, timer, paint, sent and hot-key input (not QS_ALLINPUT).
constexpr DWORD kLoopWakeMask = 0xFF;
constexpr DWORD kCommonControlClasses = 0xFF;  // ICC_WIN95_CLASSES

// {53F5630D-B6BF-11D0-94F2-00A0C91EFB8B}
constexpr GUID kDiskInterfaceClass = {
    0x53F5630D, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}};

// The single-instance mutex; ownership ends with the handle, so it is never released.
class InstanceMutex {
public:
    InstanceMutex() : handle(CreateMutexW(nullptr, TRUE, kInstanceMutexName)) {
        alreadyRunning = handle && GetLastError() == ERROR_ALREADY_EXISTS;
    }

    bool Created() const { return static_cast<bool>(handle); }
    bool AlreadyRunning() const { return alreadyRunning; }

private:
    KernelHandle handle;
    bool alreadyRunning = false;
};

// Disk arrivals and removals for the main window; they only wake the loop.
class DeviceNotification {
public:
    explicit DeviceNotification(HWND window) {
        DEV_BROADCAST_DEVICEINTERFACE_W filter{};
        filter.dbcc_size = sizeof filter;
        filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        filter.dbcc_classguid = kDiskInterfaceClass;
        handle.Reset(RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE));
    }

    bool Registered() const { return static_cast<bool>(handle); }

private:
    DeviceNotificationHandle handle;
};

// The first copy's window comes forward instead of a second one opening.
void HandOverToRunningCopy() {
    HWND running = FindWindowW(kDialogClass, Application::title);
    if (running == nullptr) return;  // still starting: end quietly
    ShowWindow(running, SW_SHOWNORMAL);
    SetForegroundWindow(running);
}

bool InitCommonControlClasses() {
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof classes;
    classes.dwICC = kCommonControlClasses;
    return InitCommonControlsEx(&classes) != FALSE;
}

}  // namespace

void Application::Run() {
    LoadStringW(g_instance, IDS_PROGRAM_TITLE, title, kTitleCapacity);
    const InstanceMutex mutex;
    if (!mutex.Created()) return;
    if (mutex.AlreadyRunning()) {
        HandOverToRunningCopy();
        return;
    }

    auto* window = new MainWindow();
    g_mainWindow = window;
    ConnectUpdate(*window);
    if (InitCommonControlClasses() && g_mainWindow->Create(g_instance, nullptr, IDD_MAIN_WINDOW)) {
        const DeviceNotification notification(g_mainWindow->Handle());
        if (notification.Registered()) MainLoop(*g_mainWindow);
    }
    DisconnectUpdate();
    // With the window gone this destroys the object.
    g_mainWindow.Reset();
}

void Application::MainLoop(ModelessDialog& window) {
    if (!PumpMessages()) return;
    for (;;) {
        window.OnIdle();
        // A pump inside the run may have taken the quit; the window may be gone.
        if (quitTaken || !IsWindow(window.Handle())) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kLoopWaitMs, kLoopWakeMask);
        if (!PumpMessages()) return;
    }
}
