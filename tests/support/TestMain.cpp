// The main of every test program. Like gtest_main, but a test whose code ends
// the process early through exit() fails instead of passing: ctest sees only
// the exit status, and exit(0) in the middle of a test would read as success.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

bool g_testsFinished = false;
const char* g_currentTest = nullptr;
unsigned long g_mainProcess = 0;

unsigned long CurrentProcessId() {
#ifdef _WIN32
    return GetCurrentProcessId();
#else
    return static_cast<unsigned long>(getpid());
#endif
}

class CurrentTestTracker : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo& info) override { g_currentTest = info.name(); }
    void OnTestEnd(const testing::TestInfo&) override { g_currentTest = nullptr; }
};

void FailIfTestsUnfinished() {
    // A forked death-test child exits early on purpose.
    if (g_testsFinished || CurrentProcessId() != g_mainProcess) {
        return;
    }
    std::fprintf(stderr, "\n[  FATAL   ] the process exited before the tests finished (in %s)\n",
                 g_currentTest != nullptr ? g_currentTest : "no test");
    std::fflush(nullptr);
    std::_Exit(3);
}

bool IsDeathTestChild(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strstr(argv[i], "internal_run_death_test") != nullptr) {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // Nobody is there to close an error dialog: let a crash end the process.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
#endif
    const bool guard = !IsDeathTestChild(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    if (guard) {
        g_mainProcess = CurrentProcessId();
        testing::UnitTest::GetInstance()->listeners().Append(new CurrentTestTracker);
        std::atexit(FailIfTestsUnfinished);
    }
    const int result = RUN_ALL_TESTS();
    g_testsFinished = true;
    return result;
}
