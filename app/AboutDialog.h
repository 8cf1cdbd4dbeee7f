// The About box: name, version and legal notice from the executable's version resource.
#pragma once

#include "app/Dialog.h"

class AboutDialog final : public ModalDialog {
public:
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static void ShowCaption(HWND window);
    static void ShowVersionTexts(HWND window);
};
