#include "ConsoleWindow.h"

#include "ui/ProgressMath.h"

namespace {

const char* KindLabel(MessageKind kind) {
    return kind == MessageKind::Error     ? "error"
           : kind == MessageKind::Warning ? "warning"
                                          : "information";
}

// The message texts are ASCII.
std::string Ascii(const wchar_t* text) {
    std::string ascii;
    for (const wchar_t* c = text; *c != L'\0'; ++c) {
        ascii.push_back(static_cast<uint32_t>(*c) < 0x80 ? static_cast<char>(*c) : '?');
    }
    return ascii;
}

}  // namespace

void ConsoleWindow::ShowControl(RunControl control, bool visible) {
    if (control != RunControl::ProgressDisplay) return;
    progressShown = visible;
    if (!visible) EndBar();
    if (style.verbose) std::fprintf(out, "progress display %s\n", visible ? "shown" : "hidden");
}

void ConsoleWindow::SetProgressRange(uint32_t newLow, uint32_t newHigh) {
    low = newLow;
    high = newHigh > newLow ? newHigh : newLow + 1;
    position = low;
    shownTenths = 0;
    shownPercent = -1;
}

void ConsoleWindow::SetProgressPos(uint32_t newPosition) {
    position = newPosition;
    ReportPercent();
}

void ConsoleWindow::StepProgress(uint32_t blocks) {
    position = position + blocks < high ? position + blocks : high;
    ReportPercent();
}

// Nothing shows before data moves, so a run that fails early prints no empty bar, nor while
// the display is hidden, as when the closing block goes out.
void ConsoleWindow::ReportPercent() {
    const uint32_t span = high - low;
    const uint32_t done = position > low ? position - low : 0;
    if (done == 0 || !progressShown) return;
    if (style.progress == ConsoleStyle::Progress::Bar) {
        const ProgressState state{0, static_cast<int32_t>(span), static_cast<int32_t>(done)};
        const int32_t percent = ProgressPercent(state);
        if (percent != shownPercent) DrawBar(percent);
        return;
    }
    if (style.progress != ConsoleStyle::Progress::Lines) return;
    const uint32_t tenths = done * 10 / span;
    if (tenths <= shownTenths) return;
    shownTenths = tenths;
    if (style.verbose) {
        std::fprintf(out, "progress %u%% (%u of %u blocks)\n", tenths * 10, done, span);
    } else {
        std::fprintf(out, "%3u%%\n", tenths * 10);
    }
    std::fflush(out);
}

void ConsoleWindow::DrawBar(int32_t percent) {
    shownPercent = percent;
    const int32_t filled = percent * kBarWidth / 100;
    std::string bar(static_cast<size_t>(filled), '#');
    bar.append(static_cast<size_t>(kBarWidth - filled), '-');
    std::fprintf(out, "\r[%s] %3d%%", bar.c_str(), percent);
    std::fflush(out);
    barOnScreen = true;
}

void ConsoleWindow::EndBar() {
    if (!barOnScreen) return;
    std::fputc('\n', out);
    barOnScreen = false;
}

void ConsoleWindow::ShowMessage(MessageKind kind, const wchar_t* text) {
    lastMessage = Ascii(text);
    lastKind = kind;
    if (!style.printMessages) return;
    EndBar();
    std::FILE* stream = kind == MessageKind::Error ? errors : out;
    if (style.verbose) std::fprintf(stream, "message (%s): ", KindLabel(kind));
    std::fprintf(stream, "%s\n", lastMessage.c_str());
    std::fflush(stream);
}
