#include "ConsoleWindow.h"

void ConsoleWindow::ShowControl(int32_t controlId, bool visible) {
    if (controlId == kProgressDisplayId) {
        std::fprintf(out, "progress display %s\n", visible ? "shown" : "hidden");
    }
}

void ConsoleWindow::SetProgressRange(uint32_t newLow, uint32_t newHigh) {
    low = newLow;
    high = newHigh > newLow ? newHigh : newLow + 1;
    position = low;
    shownTenths = 0;
}

void ConsoleWindow::SetProgressPos(uint32_t newPosition) {
    position = newPosition;
    ReportPercent();
}

void ConsoleWindow::StepProgress(uint32_t blocks) {
    position = position + blocks < high ? position + blocks : high;
    ReportPercent();
}

void ConsoleWindow::ReportPercent() {
    const uint32_t span = high - low;
    const uint32_t tenths = (position - low) * 10 / span;
    if (tenths <= shownTenths) return;
    shownTenths = tenths;
    std::fprintf(out, "progress %u%% (%u of %u blocks)\n", tenths * 10, position - low, span);
}

void ConsoleWindow::ShowMessage(MessageKind kind, const wchar_t* text) {
    const char* label = kind == MessageKind::Error     ? "error"
                        : kind == MessageKind::Warning ? "warning"
                                                       : "information";
    // The message texts are ASCII.
    std::fprintf(out, "message (%s): ", label);
    for (const wchar_t* c = text; *c != L'\0'; ++c) {
        std::fputc(*c < 0x80 ? static_cast<char>(*c) : '?', out);
    }
    std::fputc('\n', out);
    std::fflush(out);
}
