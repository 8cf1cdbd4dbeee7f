// The emulated handheld served over FUSE, reached through the native sector transport.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <fstream>
#include <vector>

#include "ServedEmulator.h"
#include "UpdateFixture.h"
#include "app/core/RefPtr.h"
#include "device/HandheldDevice.h"
#include "device/HandheldFinder.h"
#include "emulator/HandheldMemory.h"
#include "engine/DeviceImage.h"
#include "engine/UpdateRun.h"
#include "platform/posix/PosixVolumes.h"
#include "tests/support/EmulatedSystem.h"

namespace {

class ServedHandheldTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!ServedEmulator::Available()) GTEST_SKIP() << "no /dev/fuse or handheld-emu";
    }
    DeviceServices Services() { return {&volumes, &sleeper, &window}; }

    PosixVolumes volumes;
    CountingSleeper sleeper;
    RecordingWindow window;
};

std::vector<uint8_t> ReadWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST_F(ServedHandheldTest, ScanFindsEveryServedHandheldAndNoPlainVolume) {
    ServedEmulator served(
        {"--handheld", "one", "--handheld", "plain", "--label", "NO NAME", "--handheld", "two"});
    ASSERT_TRUE(served.Running());
    volumes.Assign(4, served.PathOf("one"));
    volumes.Assign(5, served.PathOf("plain"));
    volumes.Assign(6, served.PathOf("two"));
    volumes.Assign(7, served.Directory() + "/no-such-file");

    HandheldFinder finder(Services());
    uint32_t mask = 0;
    EXPECT_EQ(finder.FindHandhelds(&mask), 2);
    EXPECT_EQ(mask, (1u << 4) | (1u << 6));
    EXPECT_TRUE(served.WaitUntilAllClosed()) << served.Report();
    EXPECT_EQ(served.Stop(), 0);
    EXPECT_FALSE(served.Mounted());
    const std::string report = served.Report();
    EXPECT_NE(report.find("one opens=1 closes=1 open-handles=0"), std::string::npos) << report;
    EXPECT_NE(report.find("plain opens=1 closes=1 open-handles=0"), std::string::npos) << report;
}

TEST_F(ServedHandheldTest, InterruptUnmountsEvenWhenStartedWithInterruptsIgnored) {
    // As a shell starts a background job; the child inherits the disposition.
    struct sigaction ignore {};
    struct sigaction saved {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGINT, &ignore, &saved);
    ServedEmulator served({});
    sigaction(SIGINT, &saved, nullptr);
    ASSERT_TRUE(served.Running());
    EXPECT_EQ(served.Stop(SIGINT), 0);
    EXPECT_FALSE(served.Mounted());
}

TEST_F(ServedHandheldTest, BlocksAndTheClosingBlockTravelThroughTheServedFile) {
    ServedEmulator served({"--memory", "@DIR@/memory", "--version", "0x240", "--group", "1"});
    ASSERT_TRUE(served.Running());
    volumes.Assign(4, served.PathOf("handheld"));
    RefPtr<HandheldDevice> device = new HandheldDevice(4, Services());
    ASSERT_TRUE(device->Open());
    std::vector<uint8_t> block(4096);
    ASSERT_TRUE(device->ReadBlocks(511, 4096, block.data()));
    EXPECT_EQ(block[0x9A4], 0x40);
    EXPECT_EQ(block[0x9A5], 0x02);
    EXPECT_EQ(block[0x9A6], 0x01);
    std::vector<uint8_t> pattern(8192);
    for (size_t i = 0; i < pattern.size(); ++i) pattern[i] = static_cast<uint8_t>(i % 253);
    ASSERT_TRUE(device->WriteBlocks(20, 8192, pattern.data()));
    device->Close();
    device->WriteClosingBlock();

    EXPECT_TRUE(served.WaitUntilAllClosed()) << served.Report();
    EXPECT_EQ(served.Stop(), 0);
    const std::vector<uint8_t> memory = ReadWhole(served.Directory() + "/memory");
    ASSERT_EQ(memory.size(), HandheldMemory::kSize);
    EXPECT_TRUE(std::equal(pattern.begin(), pattern.end(), memory.begin() + ptrdiff_t{20} * 4096));
    EXPECT_TRUE(std::all_of(memory.begin() + ptrdiff_t{512} * 4096, memory.end(),
                            [](uint8_t b) { return b == 0; }));
    const std::string report = served.Report();
    EXPECT_NE(report.find("open-handles=0"), std::string::npos) << report;
    EXPECT_NE(report.find("closing-block=yes"), std::string::npos) << report;
    EXPECT_NE(report.find("protocol-errors=0"), std::string::npos) << report;
}

TEST_F(ServedHandheldTest, WholeUpdateThroughTheNativeTransport) {
    ServedEmulator served({"--handheld", "toy", "--memory", "@DIR@/memory", "--version", "0x240",
                           "--group", "1", "--number", "1"});
    ASSERT_TRUE(served.Running());
    volumes.Assign(2, served.Directory() + "/no-such-file");
    volumes.Assign(4, served.PathOf("toy"));

    HandheldFinder finder(Services());
    TestDataFile data(BuildDataFile(FixtureDataFile()));
    auto image = std::make_unique<DeviceImage>();
    EXPECT_EQ(RunWholeUpdate({&finder, &window, &data, image.get()}).result, UpdateResult::Updated);

    EXPECT_TRUE(served.WaitUntilAllClosed()) << served.Report();
    EXPECT_EQ(served.Stop(), 0);
    const std::vector<std::string> problems =
        CheckMemory(ReadWhole(served.Directory() + "/memory"), true, true);
    EXPECT_TRUE(problems.empty()) << problems.front();
    const std::string report = served.Report();
    EXPECT_NE(report.find("toy opens=3 closes=3 open-handles=0 sector-ops=273"), std::string::npos)
        << report;
    EXPECT_NE(report.find("closing-block=yes protocol-errors=0"), std::string::npos) << report;
    EXPECT_EQ(sleeper.pauses.size(), 9u);
}

}  // namespace
