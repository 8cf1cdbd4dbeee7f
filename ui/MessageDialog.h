// The skinned message box: one text, an icon by kind, OK and a close button.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/Dialog.h"
#include "ui/SkinPicture.h"

class MessageDialog final : public ModalDialog {
public:
    // The text is borrowed for the modal run.
    MessageDialog(uint32_t kind, const wchar_t* text) : kind(kind), text(text) {}

    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // Whether OK, the close button or their keys ended it; a quit ends the modal run too.
    bool ClosedByUser() const { return closedByUser; }

private:
    LRESULT OnInitDialog(HWND window, WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBackground(HDC dc);
    LRESULT OnDrawItem(HWND window, WPARAM wParam, LPARAM lParam);
    void PaintText(const DRAWITEMSTRUCT& item) const;
    LRESULT OnDestroy(HWND window, WPARAM wParam, LPARAM lParam);

    uint32_t kind;
    const wchar_t* text;
    SkinPicture skinBitmap;
    SkinPicture okBitmaps[2];
    SkinPicture closeBitmaps[2];
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
