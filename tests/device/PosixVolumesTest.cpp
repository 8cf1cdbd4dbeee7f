#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "platform/posix/PosixVolumes.h"

namespace {

class PosixVolumesTest : public ::testing::Test {
protected:
    void SetUp() override {
        // ctest runs each test as its own process, side by side: each needs its own file.
        path = ::testing::TempDir() + "posix-volume-" + std::to_string(getpid()) + ".img";
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        const std::vector<char> zeros(size_t{64} * 512);
        file.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
    }
    void TearDown() override { std::remove(path.c_str()); }

    std::string path;
    PosixVolumes volumes;
    alignas(512) uint8_t sectors[2 * 512] = {};
};

TEST_F(PosixVolumesTest, IndicesGivenPathsAreTheVolumesPresent) {
    EXPECT_TRUE(volumes.Assign(4, path));
    EXPECT_TRUE(volumes.Assign(31, path));
    EXPECT_FALSE(volumes.Assign(32, path));
    EXPECT_FALSE(volumes.Assign(-1, path));
    EXPECT_EQ(volumes.PresentVolumes(), (1u << 4) | (1u << 31));
    EXPECT_EQ(volumes.OpenVwin32(), nullptr);
    EXPECT_EQ(volumes.OpenVolume(5), nullptr);
    EXPECT_EQ(volumes.OpenVolume(32), nullptr);
    EXPECT_NE(volumes.OpenVolume(4), nullptr);
}

TEST_F(PosixVolumesTest, SectorsGoToTheirOffsetAndTheEndOfTheFileShowsAsAShortRead) {
    volumes.Assign(4, path);
    std::unique_ptr<SectorChannel> channel = volumes.OpenVolume(4);
    ASSERT_NE(channel, nullptr);
    for (size_t i = 0; i < sizeof sectors; ++i) sectors[i] = static_cast<uint8_t>(i % 7 + 1);
    ASSERT_EQ(channel->WriteSectors(4, 10, 2, sectors), 1024);
    uint8_t check[512] = {};
    std::ifstream file(path, std::ios::binary);
    file.seekg(10 * 512 + 512);
    file.read(reinterpret_cast<char*>(check), 512);
    EXPECT_EQ(0, std::memcmp(check, sectors + 512, 512));

    EXPECT_EQ(channel->ReadSectors(4, 63, 2, sectors), 512);
    EXPECT_EQ(channel->ReadSectors(4, 64, 1, sectors), -1);
}

}  // namespace
