#include "ConsoleWindow.h"

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

// A new range starts over from its low end.
void ConsoleWindow::SetProgressRange(uint32_t low, uint32_t high) {
    const auto start = static_cast<int32_t>(low);
    progress = {start, static_cast<int32_t>(high), start};
    shownTenths = 0;
    shownPercent = -1;
}

void ConsoleWindow::SetProgressPos(uint32_t position) {
    progress.pos = ClampProgressPos(progress, static_cast<int32_t>(position));
    ReportPercent();
}

void ConsoleWindow::StepProgress(uint32_t blocks) {
    progress.pos = SteppedProgressPos(progress, static_cast<int32_t>(blocks));
    ReportPercent();
}

// Nothing shows before data moves, so a run that fails early prints no empty bar, nor while
// the display is hidden, as when the closing block goes out.
void ConsoleWindow::ReportPercent() {
    if (progress.pos <= progress.low || progress.high <= progress.low || !progressShown) return;
    const int32_t percent = ProgressPercent(progress);
    if (style.progress == ConsoleStyle::Progress::Bar) {
        if (percent != shownPercent) DrawBar(percent);
        return;
    }
    if (style.progress != ConsoleStyle::Progress::Lines) return;
    const int32_t tenths = percent / 10;
    if (tenths <= shownTenths) return;
    shownTenths = tenths;
    if (style.verbose) {
        std::fprintf(out, "progress %d%% (%d of %d blocks)\n", tenths * 10,
                     progress.pos - progress.low, progress.high - progress.low);
    } else {
        std::fprintf(out, "%3d%%\n", tenths * 10);
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
    std::FILE* stream = kind == MessageKind::Error || std::ferror(out) != 0 ? errors : out;
    if (style.verbose) std::fprintf(stream, "message (%s): ", KindLabel(kind));
    std::fprintf(stream, "%s\n", lastMessage.c_str());
    std::fflush(stream);
}
