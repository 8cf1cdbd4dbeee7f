// Runs with a planted DLL in the current directory (ctest's working directory), under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/DllSearch.h"

namespace {

TEST(DllSearchTest, APlantedDllInTheCurrentDirectoryNoLongerLoads) {
    // The plant works without the restriction, or the test proves nothing.
    const HMODULE before = LoadLibraryW(L"zumbiko_planted.dll");
    ASSERT_NE(before, nullptr);
    FreeLibrary(before);

    EXPECT_EQ(RestrictDllSearch(), DllSearch::SystemDirectoryOnly);
    EXPECT_EQ(LoadLibraryW(L"zumbiko_planted.dll"), nullptr);
    // The system's own DLLs still load by name.
    const HMODULE system = LoadLibraryW(L"version.dll");
    EXPECT_NE(system, nullptr);
    if (system != nullptr) FreeLibrary(system);
}

}  // namespace
