// The skinned main window: language choice, Update, close, progress and the run's messages.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "app/Dialog.h"
#include "device/ProgressMath.h"
#include "engine/RunWindow.h"
#include "ui/ShutdownBlock.h"
#include "ui/SkinnedDialog.h"

class MainWindow final : public SkinnedDialog<ModelessDialog>, public RunWindow {
public:
    MainWindow();

    void OnIdle() override;
    void UpdateCommandState(uint32_t id, bool& enabled, bool& checked) override;
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // RunWindow: what a run does with the window. Each call first checks that the
    // window still exists, so no step of a run can touch a destroyed one.
    void ShowControl(RunControl control, bool visible) override;
    void SetProgressRange(uint32_t low, uint32_t high) override;
    void SetProgressPos(uint32_t position) override;
    // Advances the bar after each chunk a transfer writes.
    void StepProgress(uint32_t blocks) override;
    // A quit taken here is remembered by the application for its main loop.
    void PumpMessages() override;
    void RaiseBusy() override;
    void LowerBusy() override;
    void SetHandheldInUse(bool inUse) override;
    void ShowMessage(MessageKind kind, const wchar_t* text) override;

    // The window's keyboard shortcuts (F1 for the About box); true when it took the message.
    bool TranslateShortcut(MSG& message) override;

    int32_t BusyCount() const { return busyCount; }
    ProgressState Progress() const { return progress; }
    // A run is under way: closing now would leave a half-written handheld, and a modal loop
    // would hold it up.
    bool RunUnderWay() const;

private:
    void OnInit() override;
    bool OnCommand(uint32_t id) override;
    bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
    void OnDestroy() override;
    bool MayDrag() const override;
    LRESULT OnClose();
    LRESULT OnQueryEndSession();
    LRESULT OnContextMenu(LPARAM lParam);
    bool CommandEnabled(uint32_t id);
    void ShowAboutBox();
    void MoveProgress(int32_t newPos);

    volatile LONG busyCount = 0;
    HACCEL shortcuts = nullptr;  // a resource table: freed with the module
    SkinPicture progressBitmap;
    FontHandle languageFont;  // the language buttons', until the window is destroyed
    ProgressState progress;
    // Held while the run has the handheld in use; shutting down is refused meanwhile.
    std::optional<ShutdownBlock> shutdownBlock;
};
