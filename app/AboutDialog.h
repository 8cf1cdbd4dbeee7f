// The About box: name, version and legal notice from the executable's version resource.
#pragma once

#include "app/Dialog.h"

class AboutDialog final : public ModalDialog {
private:
    void OnInit() override;
    static void ShowCaption(HWND window);
    static void ShowVersionTexts(HWND window);
};
