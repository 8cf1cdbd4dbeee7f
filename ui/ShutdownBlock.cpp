#include "ui/ShutdownBlock.h"

#include "ui/core/MessageTable.h"

namespace {

using CreateReason = BOOL(WINAPI*)(HWND, LPCWSTR);
using DestroyReason = BOOL(WINAPI*)(HWND);

// Looked up at run time: the program also runs where user32 lacks these.
template <typename Function>
Function User32Function(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

const wchar_t* ReasonText() {
    return languageIndex == kLanguageGerman
               ? L"Das Geraet wird aktualisiert. Bitte warten, bis die Aktualisierung fertig ist."
               : L"The handheld is being updated. Please wait until the update has finished.";
}

}  // namespace

ShutdownBlock::ShutdownBlock(HWND window) : window(window) {
    if (auto create = User32Function<CreateReason>("ShutdownBlockReasonCreate")) {
        created = create(window, ReasonText()) != FALSE;
    }
}

ShutdownBlock::~ShutdownBlock() {
    if (!created) return;
    if (auto destroy = User32Function<DestroyReason>("ShutdownBlockReasonDestroy")) {
        destroy(window);
    }
}
