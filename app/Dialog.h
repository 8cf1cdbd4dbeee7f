// The dialog framework: every window of the program is a dialog bound to a counted object.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/core/RefCounted.h"

class Dialog : public RefCounted {
public:
    // Modeless: creates and shows the window. Modal: runs it to its end.
    virtual bool Create(HINSTANCE instance, HWND parent, uint32_t templateId) = 0;
    // Refreshes the enabled state of the visible child controls.
    virtual void OnIdle();
    // Whether a command may run now; both flags come in preset (enabled, not checked).
    virtual void UpdateCommandState(uint32_t id, bool& enabled, bool& checked);
    virtual LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // Leaves the message to the dialog manager's default processing.
    virtual LRESULT DefaultHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND Handle() const { return window; }

protected:
    // Typed hooks, called by the families' HandleMessage; a dialog overrides those it needs.
    // WM_INITDIALOG: set the window up (a modal dialog is then centred over its owner).
    virtual void OnInit() {}
    // WM_COMMAND by command id; true when handled.
    virtual bool OnCommand(uint32_t /*id*/) { return false; }
    // WM_DRAWITEM for an owner-drawn control; true when drawn.
    virtual bool OnDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
    // WM_DESTROY: what the window owns goes now.
    virtual void OnDestroy() {}

    // What both families do alike: the hooks, notifications and pop-up menus; anything else
    // is left to DefaultHandler.
    LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnNotify(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnInitMenuPopup(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // For the few messages whose answer is 0 but which must not reach the default
    // processing (WM_QUERYENDSESSION): the dialog procedure then reports it handled.
    void AnswerZeroHandled() { zeroHandled = true; }

private:
    friend INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);

    HWND window = nullptr;
    bool zeroHandled = false;
};

class ModelessDialog : public Dialog {
public:
    bool Create(HINSTANCE instance, HWND parent, uint32_t templateId) override;
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    // Keys the window turns into commands before the pump dispatches them; true when taken.
    virtual bool TranslateShortcut(MSG& /*message*/) { return false; }
};

class ModalDialog : public Dialog {
public:
    bool Create(HINSTANCE instance, HWND parent, uint32_t templateId) override;
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // The end code of the last run, or the platform's failure value.
    INT_PTR result = 0;

protected:
    // OK and Cancel end the run with their id.
    bool OnCommand(uint32_t id) override;
};

// The one dialog procedure; the creation parameter is the Dialog object.
INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The modeless dialog that takes keyboard navigation in the message pump, or null.
extern HWND g_activeDialog;

// The window property that binds a dialog window to its object.
extern const wchar_t kDialogObjectProperty[];

// Moves the focus on first when the control to disable has it.
void EnableControl(HWND dialog, int32_t id, bool enabled);
// Centres on the reference window (or the work area) and keeps a top-level window on it.
void CenterWindow(HWND reference, HWND window);
