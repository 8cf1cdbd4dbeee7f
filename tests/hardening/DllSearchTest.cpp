// Runs with a planted DLL in the current directory (ctest's working directory), under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/ProcessStart.h"

namespace {

TEST(DllSearchTest, StartKeepsPlantedDllsAndDiscBoxesAway) {
    // The plant works without the restriction, and the test runner's own error mode is
    // cleared, or the test proves nothing.
    const HMODULE before = LoadLibraryW(L"zumbiko_planted.dll");
    ASSERT_NE(before, nullptr);
    FreeLibrary(before);
    const UINT runnerMode = SetErrorMode(0);

    EXPECT_EQ(PrepareProcess(), DllSearch::SystemDirectoryOnly);
    EXPECT_EQ(SetErrorMode(runnerMode), static_cast<UINT>(SEM_FAILCRITICALERRORS));
    EXPECT_EQ(LoadLibraryW(L"zumbiko_planted.dll"), nullptr);
    // The system's own DLLs still load by name.
    const HMODULE system = LoadLibraryW(L"version.dll");
    EXPECT_NE(system, nullptr);
    if (system != nullptr) FreeLibrary(system);
}

}  // namespace
