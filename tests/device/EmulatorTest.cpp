#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "emulator/EmulatedHandheld.h"

namespace {

constexpr uint32_t kBlock = 4096;

std::string TemporaryPath(const char* name) {
    return ::testing::TempDir() + name;
}

// Talks to the mailbox directly, as a host would, without the device object.
class Host {
public:
    explicit Host(EmulatedHandheld& handheld) : handheld(handheld) {}
    bool Command(uint8_t code, uint32_t block = 0, uint32_t count = 0) {
        std::vector<uint8_t> sector(512);
        sector[0] = code;
        for (int i = 0; i < 4; ++i) {
            sector[1 + i] = static_cast<uint8_t>(block >> (24 - 8 * i));
            sector[5 + i] = static_cast<uint8_t>(count >> (24 - 8 * i));
        }
        return handheld.WriteSectors(49, 1, sector.data()) == 512;
    }
    std::vector<uint8_t> ReadWindow() {
        std::vector<uint8_t> window(8192);
        handheld.ReadSectors(88, 16, window.data());
        return window;
    }
    bool WriteWindow(const std::vector<uint8_t>& window) {
        return handheld.WriteSectors(51, 16, window.data()) == 8192;
    }

private:
    EmulatedHandheld& handheld;
};

TEST(EmulatorTest, FreshMemoryCarriesTheSystemRecordsAndAPatternElsewhere) {
    HandheldOptions options;
    options.versionWord = 0x233;
    options.characterGroup = 1;
    options.characterNumber = 7;
    EmulatedHandheld handheld(options);
    for (const uint32_t block : {509u, 511u}) {
        EXPECT_EQ(handheld.Memory().VersionWord(block), 0x233);
        EXPECT_EQ(handheld.Memory().CharacterGroup(block), 1);
        EXPECT_EQ(handheld.Memory().CharacterNumber(block), 7);
    }
    EXPECT_EQ(handheld.Memory().Block(510)[0], HandheldMemory::FillByte(510));
    EXPECT_NE(HandheldMemory::FillByte(510), 0);

    std::vector<uint8_t> boot(512);
    ASSERT_EQ(handheld.ReadSectors(0, 1, boot.data()), 512);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(&boot[43]), 11), std::string("SITRONIXTM\0", 11));
    EXPECT_EQ(boot[510], 0x55);
    EXPECT_EQ(boot[511], 0xAA);
}

TEST(EmulatorTest, AnswerCarriesItsLengthThenTheMemoryFromTheBlockAskedFor) {
    EmulatedHandheld handheld{HandheldOptions{}};
    Host host(handheld);
    ASSERT_TRUE(host.Command(0x80));
    ASSERT_TRUE(host.Command(0x28, 300));
    const std::vector<uint8_t> window = host.ReadWindow();
    EXPECT_EQ(window[0], 0x00);
    EXPECT_EQ(window[1], 0x00);
    EXPECT_EQ(window[2], 0x10);
    EXPECT_EQ(window[3], 0x04);
    EXPECT_EQ(window[4], HandheldMemory::FillByte(300));
    EXPECT_EQ(window[4 + kBlock], 0);  // past the answer
    ASSERT_TRUE(host.Command(0x81));
    EXPECT_TRUE(handheld.Record().protocolErrors.empty());
}

TEST(EmulatorTest, WrittenBlocksPersistInTheMemoryFileAcrossHandhelds) {
    const std::string path = TemporaryPath("emulator-memory.bin");
    std::remove(path.c_str());
    HandheldOptions options;
    options.memoryFile = path;
    {
        EmulatedHandheld handheld(options);
        Host host(handheld);
        ASSERT_TRUE(host.Command(0x80));
        ASSERT_TRUE(host.Command(0x2A, 512, kBlock));
        ASSERT_TRUE(host.WriteWindow(std::vector<uint8_t>(8192, 0)));
        ASSERT_TRUE(host.Command(0x81));
        EXPECT_TRUE(handheld.Record().closingBlockArrived);
        EXPECT_TRUE(handheld.Record().protocolErrors.empty());
    }
    options.versionWord = 0x222;  // ignored: the file wins
    EmulatedHandheld again(options);
    EXPECT_EQ(again.Memory().Block(512)[0], 0);
    EXPECT_EQ(again.Memory().VersionWord(511), 0x250);
    EXPECT_FALSE(again.Record().closingBlockArrived);
    std::remove(path.c_str());
}

TEST(EmulatorTest, ProtocolDeparturesAreRecorded) {
    EmulatedHandheld handheld{HandheldOptions{}};
    Host host(handheld);
    host.ReadWindow();
    ASSERT_TRUE(host.Command(0x28, 1));
    ASSERT_TRUE(host.Command(0x81));
    ASSERT_TRUE(host.Command(0x81));
    ASSERT_TRUE(host.Command(0x80));
    ASSERT_TRUE(host.Command(0x2A, 3, 2 * kBlock));
    ASSERT_TRUE(host.WriteWindow(std::vector<uint8_t>(8192, 1)));
    ASSERT_TRUE(host.Command(0x80));
    EXPECT_EQ(handheld.Record().protocolErrors.size(), 4u);
}

TEST(EmulatorTest, VanishedHandheldRefusesEverything) {
    HandheldOptions options;
    options.vanishAfterWindows = 1;
    EmulatedHandheld handheld(options);
    Host host(handheld);
    ASSERT_TRUE(handheld.NoteOpen());
    ASSERT_TRUE(host.Command(0x80));
    ASSERT_TRUE(host.Command(0x28, 1));
    host.ReadWindow();
    EXPECT_TRUE(handheld.Vanished());
    EXPECT_FALSE(host.Command(0x81));
    EXPECT_FALSE(handheld.NoteOpen());
    EXPECT_FALSE(handheld.Lock());
    handheld.NoteClose();
    EXPECT_EQ(handheld.Record().OpenHandles(), 0);
}

}  // namespace
