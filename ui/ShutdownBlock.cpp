#include "ui/ShutdownBlock.h"

#include "platform/win32/SystemFunction.h"
#include "ui/core/MessageTable.h"

namespace {

using CreateReason = BOOL(WINAPI*)(HWND, LPCWSTR);
using DestroyReason = BOOL(WINAPI*)(HWND);

}  // namespace

ShutdownBlock::ShutdownBlock(HWND window) : window(window) {
    // Vista and later: user32 of older systems lacks both calls.
    if (auto create =
            OptionalSystemFunction<CreateReason>(L"user32.dll", "ShutdownBlockReasonCreate")) {
        created = create(window, MessageText(MsgShutdownReason)) != FALSE;
    }
}

ShutdownBlock::~ShutdownBlock() {
    if (!created) return;
    if (auto destroy =
            OptionalSystemFunction<DestroyReason>(L"user32.dll", "ShutdownBlockReasonDestroy")) {
        destroy(window);
    }
}
