// ui-driver: runs in the program's Wine prefix and drives Zumbiko Update.exe as a person
// would, step by step, printing what it sees.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/ProgramDriver.h"

namespace {

const char kSteps[] =
    "Steps:\n"
    "  start                   start the program, wait for its main window\n"
    "  second                  start a second copy while the first runs\n"
    "  controls                which controls are shown and enabled\n"
    "  click:english|deutsch|update|close\n"
    "  key:escape|f1           a key for the main window\n"
    "  ready                   wait until Update is shown and enabled\n"
    "  message:ok|enter|escape|close|hold[:SHOT]\n"
    "                          wait for the next message, report it, close it so;\n"
    "                          hold leaves it open for the next message step to close\n"
    "  progress[:SHOT]         wait for the progress display, catch the bar half way\n"
    "  close-during-write      press close, the hidden English button and F1, ask to shut\n"
    "                          down and hit-test the skin, while the bar moves\n"
    "  about[:SHOT]            open the About box with F1, report it, close it\n"
    "  shot:NAME               screenshot of the main window\n"
    "  exit                    wait for the program to end, report its exit code\n"
    "  await:NAME              pause until the file NAME appears in the signals directory\n"
    "  watch                   report the messages a person clicks through, until the end\n";

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

// "message:ok:name" -> {"message", "ok", "name"}
std::vector<std::string> Split(const std::string& step) {
    std::vector<std::string> parts;
    size_t from = 0;
    for (size_t at = step.find(':'); at != std::string::npos; at = step.find(':', from)) {
        parts.push_back(step.substr(from, at - from));
        from = at + 1;
    }
    parts.push_back(step.substr(from));
    parts.resize(3);
    return parts;
}

bool RunStep(ProgramDriver& driver, const std::string& step) {
    const std::vector<std::string> part = Split(step);
    const std::string& verb = part[0];
    if (verb == "start") return driver.Start();
    if (verb == "second") return driver.StartSecondCopy();
    if (verb == "controls") return driver.Controls();
    if (verb == "click") return driver.Click(part[1]);
    if (verb == "key") return driver.Key(part[1]);
    if (verb == "ready") return driver.WaitReady();
    if (verb == "message") return driver.Message(part[1], part[2]);
    if (verb == "progress") return driver.Progress(part[1]);
    if (verb == "close-during-write") return driver.CloseDuringWrite();
    if (verb == "about") return driver.About(part[1]);
    if (verb == "shot") return driver.Shot(part[1]);
    if (verb == "exit") return driver.Exit();
    if (verb == "await") return driver.Await(part[1]);
    if (verb == "watch") return driver.Watch();
    std::printf("failed: unknown step %s\n%s", step.c_str(), kSteps);
    return false;
}

}  // namespace

// CLI11 throws from setting up its options only when they are set up wrongly.
// NOLINTNEXTLINE(bugprone-exception-escape)
int main(int argc, char** argv) {
    CLI::App app("Drives the program as a person would, step by step.", "ui-driver");
    app.footer(kSteps);
    std::string program;
    std::string shots;
    std::string signals;
    std::vector<std::string> steps;
    app.add_option("--program", program, "The program")->required();
    app.add_option("--shots", shots, "Where screenshots go");
    app.add_option("--signals", signals, "Where await steps look for their files");
    app.add_option("steps", steps, "The steps, in order")->required();
    CLI11_PARSE(app, argc, argv);
    ProgramDriver driver(Wide(program), Wide(shots), Wide(signals));
    for (const std::string& step : steps) {
        if (!RunStep(driver, step)) {
            std::printf("driver: stopped at %s\n", step.c_str());
            return 1;
        }
    }
    std::printf("driver: done\n");
    return 0;
}
