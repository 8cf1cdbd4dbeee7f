// A dialog painted from bitmaps: its skin fills the client area, picture buttons from a table
// are drawn owner-drawn, and a press anywhere else drags the window. The window owns the
// pictures until its WM_DESTROY.
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "app/Dialog.h"
#include "ui/SkinPicture.h"

// A picture button: its control takes the size of its pictures at a client position.
struct SkinButton {
    int32_t control;
    int picture;
    int pressedPicture;
    POINT at;
};

// The most picture buttons one skinned window has.
constexpr size_t kMaxSkinButtons = 4;

// Family: ModelessDialog or ModalDialog.
template <typename Family>
class SkinnedDialog : public Family {
public:
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // The table is borrowed for the object's life.
    template <size_t N>
    SkinnedDialog(int skinPicture, const SkinButton (&buttons)[N])
        : skinPicture(skinPicture), buttons(buttons) {
        static_assert(N <= kMaxSkinButtons, "more buttons than a skinned window holds");
    }

    // The skin and the buttons are in place before it runs. Centres the window on the work
    // area and shows it: a window's own OnInit calls it last.
    void OnInit() override;
    // Whether a press on the skin may move the window now.
    virtual bool MayDrag() const { return true; }

private:
    void ApplySkin(HWND window);
    bool DrawButton(const DRAWITEMSTRUCT& item) const;
    void ReleasePictures();

    int skinPicture;
    std::span<const SkinButton> buttons;
    SkinPicture skin;
    // Up and pressed, one pair a button in table order.
    std::array<SkinPicture, 2> pictures[kMaxSkinButtons];
};

extern template class SkinnedDialog<ModelessDialog>;
extern template class SkinnedDialog<ModalDialog>;
