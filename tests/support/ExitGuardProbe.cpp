// A test that ends its process with success half-way. Run through the shared
// test main, it must fail; ctest checks that it does.
#include <gtest/gtest.h>

#include <cstdlib>

TEST(ExitGuardProbe, ExitsWithSuccessMidTest) {
    std::exit(0);
}
