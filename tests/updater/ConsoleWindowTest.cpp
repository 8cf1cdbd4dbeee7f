// The console window both console front-ends share: progress as lines or as a bar, and where
// messages go.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "ConsoleWindow.h"

namespace {

// Collects what a stream received.
class Captured {
public:
    Captured() : file(std::tmpfile()) {}
    ~Captured() {
        if (file != nullptr) std::fclose(file);
    }
    Captured(const Captured&) = delete;
    Captured& operator=(const Captured&) = delete;
    std::FILE* Get() const { return file; }
    std::string Text() const {
        std::fflush(file);
        std::rewind(file);
        std::string text;
        for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file))
            text.push_back(static_cast<char>(c));
        return text;
    }

private:
    std::FILE* file;
};

// As an update's write-back drives it: display shown, range 0..509, steps of two blocks,
// display hidden, then the closing block's one step.
void WriteBack(ConsoleWindow& window) {
    window.SetProgressRange(0, 1);
    window.SetProgressPos(0);
    window.ShowControl(RunControl::ProgressDisplay, true);
    window.SetProgressRange(0, 509);
    window.SetProgressPos(0);
    for (int i = 0; i < 255; ++i) window.StepProgress(i < 254 ? 2 : 1);
    window.ShowControl(RunControl::ProgressDisplay, false);
    window.StepProgress(1);
}

ConsoleStyle Style(ConsoleStyle::Progress progress, bool verbose) {
    ConsoleStyle style;
    style.progress = progress;
    style.verbose = verbose;
    return style;
}

TEST(ConsoleWindow, PlainLinesGiveEachTenthOnceAndNothingWhileHidden) {
    Captured out;
    ConsoleWindow window(out.Get(), nullptr, Style(ConsoleStyle::Progress::Lines, false));
    WriteBack(window);
    EXPECT_EQ(out.Text(), " 10%\n 20%\n 30%\n 40%\n 50%\n 60%\n 70%\n 80%\n 90%\n100%\n");
}

TEST(ConsoleWindow, VerboseLinesKeepTheConsoleToolsFormat) {
    Captured out;
    ConsoleWindow window(out.Get());
    WriteBack(window);
    window.ShowMessage(MessageKind::Information, L"Done.\nOK");
    const std::string text = out.Text();
    EXPECT_EQ(text.rfind("progress display shown\nprogress 10% (52 of 509 blocks)\n", 0), 0u)
        << text;
    EXPECT_NE(text.find("progress 100% (509 of 509 blocks)\nprogress display hidden\n"
                        "message (information): Done.\nOK\n"),
              std::string::npos)
        << text;
}

TEST(ConsoleWindow, BarRedrawsInPlaceAndEndsItsLineBeforeAMessage) {
    Captured out;
    Captured err;
    ConsoleWindow window(out.Get(), err.Get(), Style(ConsoleStyle::Progress::Bar, false));
    WriteBack(window);
    window.ShowMessage(MessageKind::Error, L"Broken \x00e4");
    const std::string text = out.Text();
    EXPECT_EQ(text.find('\n'), text.size() - 1) << "one line, ended once";
    EXPECT_EQ(text.rfind("\r[", 0), 0u);
    EXPECT_NE(text.find("\r[----------------------------------------]   0%"), std::string::npos);
    EXPECT_NE(text.find("\r[####################--------------------]  50%"), std::string::npos);
    EXPECT_NE(text.find("\r[########################################] 100%\n"), std::string::npos);
    EXPECT_EQ(text.find("101%"), std::string::npos);
    EXPECT_EQ(err.Text(), "Broken ?\n");
    EXPECT_EQ(window.LastMessage(), "Broken ?");
    EXPECT_EQ(window.LastKind(), MessageKind::Error);
}

TEST(ConsoleWindow, ARunThatFailsBeforeDataMovesShowsNoBarAndQuietWindowsKeepTheMessage) {
    Captured out;
    ConsoleStyle style = Style(ConsoleStyle::Progress::Bar, false);
    style.printMessages = false;
    ConsoleWindow window(out.Get(), nullptr, style);
    window.SetProgressRange(0, 1);
    window.SetProgressPos(0);
    window.ShowControl(RunControl::ProgressDisplay, true);
    window.ShowControl(RunControl::ProgressDisplay, false);
    window.ShowMessage(MessageKind::Warning, L"Not found");
    EXPECT_EQ(out.Text(), "");
    EXPECT_EQ(window.LastMessage(), "Not found");
}

}  // namespace
