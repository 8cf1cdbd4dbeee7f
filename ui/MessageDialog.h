// The skinned message box: one text, an icon by kind, OK and a close button.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/SkinnedDialog.h"

class MessageDialog final : public SkinnedDialog<ModalDialog> {
public:
    // The text is borrowed for the modal run.
    MessageDialog(uint32_t kind, const wchar_t* text);

    // Whether OK, the close button or their keys ended it; a quit ends the modal run too.
    bool ClosedByUser() const { return closedByUser; }

private:
    void OnInit() override;
    bool OnCommand(uint32_t id) override;
    bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
    void OnDestroy() override;
    void PaintText(const DRAWITEMSTRUCT& item) const;

    uint32_t kind;
    const wchar_t* text;
    SkinPicture iconBitmap;
    bool closedByUser = false;
};

constexpr size_t kMessageCapacity = 1024;

// Formats into 1024 characters (cut at 1023, always terminated) and shows the text modally
// over the owner until the user closes it; returns 1 whichever way they did. A quit that
// arrives meanwhile is posted again afterwards.
int32_t ShowMessage(HWND owner, uint32_t kind, const wchar_t* format, ...);

// The icon bitmap for a kind (only the bits 0xF0 count), or 0 for none.
int MessageIconFor(uint32_t kind);
