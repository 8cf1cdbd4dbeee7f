#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "app/core/RefPtr.h"
#include "device/HandheldDevice.h"
#include "emulator/EmulatedHandheld.h"
#include "tests/support/EmulatedSystem.h"

namespace {

constexpr uint32_t kBlock = 4096;

class BlockTransferTest : public ::testing::Test {
protected:
    // The volume path, as on every Windows the program runs on; both paths lock alike.
    void Attach(const HandheldOptions& options, bool vwin32 = false) {
        device = nullptr;  // its channel points into the handheld it replaces
        handheld = std::make_unique<EmulatedHandheld>(options);
        test.volumes.Attach(kDriveE, handheld.get());
        test.volumes.PresentVwin32(vwin32);
        device = new HandheldDevice(kDriveE, test.Services());
        ASSERT_TRUE(device->Open());
    }
    const EmulatorRecord& Record() const { return handheld->Record(); }
    std::vector<uint8_t> Commands() const {
        std::vector<uint8_t> codes;
        for (const MailboxCommand& c : Record().commands) codes.push_back(c.Code());
        return codes;
    }
    void ExpectLockPaired() const {
        EXPECT_EQ(Record().locks, 1u);
        EXPECT_EQ(Record().unlocks, 1u);
        EXPECT_EQ(Record().lockDepth, 0);
    }

    EmulatedSystem test;
    std::unique_ptr<EmulatedHandheld> handheld;
    RefPtr<HandheldDevice> device;
};

using Codes = std::vector<uint8_t>;

TEST_F(BlockTransferTest, CommandsGoOutMostSignificantByteFirst) {
    Attach({});
    std::vector<uint8_t> block(kBlock);
    ASSERT_TRUE(device->ReadBlocks(509, kBlock, block.data()));
    ASSERT_TRUE(device->WriteBlocks(3, kBlock, block.data()));

    const std::vector<MailboxCommand>& commands = Record().commands;
    ASSERT_EQ(commands.size(), 6u);
    const std::array<uint8_t, 16> begin = {0x80};
    const std::array<uint8_t, 16> read = {0x28, 0x00, 0x00, 0x01, 0xFD};
    const std::array<uint8_t, 16> write = {0x2A, 0, 0, 0, 0x03, 0, 0, 0x10, 0x00};
    const std::array<uint8_t, 16> end = {0x81};
    EXPECT_EQ(commands[0].bytes, begin);
    EXPECT_EQ(commands[1].bytes, read);
    EXPECT_EQ(commands[2].bytes, end);
    EXPECT_EQ(commands[3].bytes, begin);
    EXPECT_EQ(commands[4].bytes, write);
    EXPECT_EQ(commands[5].bytes, end);
    EXPECT_TRUE(Record().protocolErrors.empty());
}

TEST_F(BlockTransferTest, ReadingOneBlockCostsThreeCommandsOneWindowAndItsTurnarounds) {
    Attach({});
    std::vector<uint8_t> block(kBlock);
    ASSERT_TRUE(device->ReadBlocks(511, kBlock, block.data()));

    ASSERT_EQ(Record().operations.size(), 4u);
    const uint32_t sectors[] = {49, 49, 88, 49};
    const bool writes[] = {true, true, false, true};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(Record().operations[i].sector, sectors[i]) << i;
        EXPECT_EQ(Record().operations[i].write, writes[i]) << i;
        EXPECT_EQ(Record().operations[i].count, sectors[i] == 49 ? 1u : 16u) << i;
    }
    // Fresh object: before the first command, before the window, before EndCommand.
    EXPECT_EQ(test.sleeper.pauses.size(), 3u);
    EXPECT_EQ(test.window.pumps, 1u);
    EXPECT_TRUE(test.window.steps.empty());
    EXPECT_EQ(0, std::memcmp(block.data(), handheld->Memory().Block(511), kBlock));
    ExpectLockPaired();
}

TEST_F(BlockTransferTest, AnswerPayloadSpreadsOverAsManyWindowsAsItNeeds) {
    struct Case {
        uint32_t payload;
        uint32_t windows;
    };
    for (const Case c : {Case{4096, 1}, Case{8188, 1}, Case{8189, 2}, Case{3 * 8192, 4}}) {
        HandheldOptions options;
        options.answerPayload = c.payload;
        Attach(options);
        std::vector<uint8_t> destination(c.payload);
        ASSERT_TRUE(device->ReadBlocks(10, c.payload, destination.data())) << c.payload;
        EXPECT_EQ(Record().windowsRead, c.windows) << c.payload;
        EXPECT_EQ(Record().CountCommands(0x28), 1u) << c.payload;
        EXPECT_EQ(0, std::memcmp(destination.data(), handheld->Memory().Block(10), c.payload))
            << c.payload;
        EXPECT_TRUE(Record().protocolErrors.empty()) << c.payload;
    }
}

TEST_F(BlockTransferTest, SeveralBlocksAnsweredOneAtATimeTakeOneTransactionEach) {
    Attach({});
    std::vector<uint8_t> destination(size_t{3} * kBlock);
    ASSERT_TRUE(device->ReadBlocks(509, 3 * kBlock, destination.data()));
    const Codes expected = {0x80, 0x28, 0x81, 0x80, 0x28, 0x81, 0x80, 0x28, 0x81};
    EXPECT_EQ(Commands(), expected);
    EXPECT_EQ(Record().commands[4].Block(), 510u);
    EXPECT_EQ(Record().commands[7].Block(), 511u);
    EXPECT_EQ(test.window.pumps, 3u);
    EXPECT_EQ(0,
              std::memcmp(destination.data(), handheld->Memory().Block(509), size_t{3} * kBlock));
    ExpectLockPaired();
}

// Answers a real handheld should never give: each fails the read without writing past the
// destination (ASan watches the guard) and without looping.
TEST_F(BlockTransferTest, UntrustedAnswerLengthsFailTheRead) {
    struct Case {
        const char* name;
        std::optional<uint32_t> length;
        uint32_t payload;
        uint32_t request;
    };
    const Case cases[] = {
        {"length 0", 0u, 4096, kBlock},
        {"length 3", 3u, 4096, kBlock},
        {"empty payload", 4u, 4096, kBlock},
        {"payload beyond the request", 8192u + 4, 8192, kBlock},
        {"largest length", 0xFFFFFFFFu, 4096, kBlock},
        {"true payload larger than asked", std::nullopt, 8192, kBlock},
        {"second answer too large", std::nullopt, 3 * kBlock, 4 * kBlock},
        // The next answer would start at a block boundary but land mid-block.
        {"part of a block with bytes still missing", std::nullopt, 100, kBlock},
        {"a block and a part with bytes still missing", std::nullopt, kBlock + 1, 2 * kBlock},
    };
    for (const Case& c : cases) {
        HandheldOptions options;
        options.answerLength = c.length;
        options.answerPayload = c.payload;
        Attach(options);
        std::vector<uint8_t> destination(c.request);  // exact size: ASan sees any overrun
        EXPECT_FALSE(device->ReadBlocks(100, c.request, destination.data())) << c.name;
        EXPECT_EQ(Record().commands.back().Code(), 0x81) << c.name;
        EXPECT_EQ(Record().lockDepth, 0) << c.name;
        EXPECT_LE(Record().windowsRead, 3u) << c.name;
    }
}

TEST_F(BlockTransferTest, WriteBackSizeGoesOutAs255WindowsInOneTransaction) {
    Attach({});
    std::vector<uint8_t> source(size_t{509} * kBlock);
    for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint8_t>(i * 7 + i / 4096);
    ASSERT_TRUE(device->WriteBlocks(3, 509 * kBlock, source.data()));

    EXPECT_EQ(Record().windowsWritten, 255u);
    EXPECT_EQ(Commands(), (Codes{0x80, 0x2A, 0x81}));
    EXPECT_EQ(Record().commands[1].ByteCount(), 0x1FD000u);
    ASSERT_EQ(test.window.steps.size(), 255u);
    for (size_t i = 0; i < 254; ++i) EXPECT_EQ(test.window.steps[i], 2u) << i;
    EXPECT_EQ(test.window.steps.back(), 1u);
    EXPECT_EQ(test.window.StepTotal(), 509u);
    EXPECT_EQ(test.window.pumps, 255u);
    EXPECT_EQ(test.sleeper.pauses.size(), 1u);
    EXPECT_EQ(0, std::memcmp(source.data(), handheld->Memory().Block(3), source.size()));
    EXPECT_TRUE(Record().protocolErrors.empty());
    ExpectLockPaired();
}

TEST_F(BlockTransferTest, OneBlockWriteSendsAFullWindowOfWhichTheHandheldTakesOneBlock) {
    Attach({});
    std::vector<uint8_t> source(kBlock, 0x3C);
    const uint8_t before = handheld->Memory().Block(101)[0];
    ASSERT_TRUE(device->WriteBlocks(100, kBlock, source.data()));
    EXPECT_EQ(Record().operations[2].count, 16u);
    EXPECT_EQ(handheld->Memory().Block(100)[kBlock - 1], 0x3C);
    EXPECT_EQ(handheld->Memory().Block(101)[0], before);
    EXPECT_EQ(test.window.steps, (std::vector<uint32_t>{1}));
}

// Sector operations of a read: 1 BeginCommand, 2 ReadCommand, 3 window, 4 EndCommand.
TEST_F(BlockTransferTest, FailedReadStepsEndTheTransactionOnlyOnceItBegan) {
    struct Case {
        uint32_t failing;
        Codes commands;
        uint32_t pumps;
    };
    // A failed sector write never reaches the handheld, so its command is missing here.
    const Case cases[] = {
        {1, {}, 0},
        {2, {0x80, 0x81}, 0},
        {3, {0x80, 0x28, 0x81}, 1},
    };
    for (const Case& c : cases) {
        HandheldOptions options;
        options.failOperation = c.failing;
        Attach(options);
        std::vector<uint8_t> block(kBlock);
        test.window.pumps = 0;
        EXPECT_FALSE(device->ReadBlocks(509, kBlock, block.data())) << c.failing;
        EXPECT_EQ(Commands(), c.commands) << c.failing;
        EXPECT_EQ(test.window.pumps, c.pumps) << c.failing;
        ExpectLockPaired();
    }
}

// Sector operations of a write: 1 BeginCommand, 2 WriteCommand, 3 first window, ...
TEST_F(BlockTransferTest, FailedWriteStepsEndTheTransactionOnlyOnceItBegan) {
    struct Case {
        Codes commands;
        std::vector<uint32_t> steps;
        uint32_t failing;
        uint32_t windows;
    };
    const Case cases[] = {
        {{}, {}, 1, 0},
        {{0x80, 0x81}, {}, 2, 0},
        {{0x80, 0x2A, 0x81}, {2}, 3, 0},
        {{0x80, 0x2A, 0x81}, {2, 2, 2}, 5, 2},
    };
    for (const Case& c : cases) {
        HandheldOptions options;
        options.failOperation = c.failing;
        Attach(options);
        test.window.steps.clear();
        std::vector<uint8_t> source(size_t{4} * 8192);
        EXPECT_FALSE(device->WriteBlocks(3, 4 * 8192, source.data())) << c.failing;
        EXPECT_EQ(Commands(), c.commands) << c.failing;
        EXPECT_EQ(Record().windowsWritten, c.windows) << c.failing;
        EXPECT_EQ(test.window.steps, c.steps) << c.failing;
        ExpectLockPaired();
    }
}

TEST_F(BlockTransferTest, HandheldVanishingMidWriteFailsItAndEveryLaterStep) {
    HandheldOptions options;
    options.vanishAfterWindows = 10;
    Attach(options);
    std::vector<uint8_t> source(size_t{509} * kBlock);
    EXPECT_FALSE(device->WriteBlocks(3, 509 * kBlock, source.data()));
    EXPECT_EQ(Record().windowsWritten, 10u);
    EXPECT_EQ(test.window.steps.size(), 11u);
    EXPECT_EQ(Record().unlocks, 0u);  // the unlock could not reach it any more
    EXPECT_EQ(Record().operations.back().failed, true);
    EXPECT_FALSE(device->ReadBlocks(509, kBlock, source.data()));
}

TEST_F(BlockTransferTest, ZeroBytesStillFollowTheProtocol) {
    Attach({});
    EXPECT_TRUE(device->ReadBlocks(509, 0, nullptr));
    EXPECT_TRUE(Record().operations.empty());
    ExpectLockPaired();

    const uint8_t nothing = 0;
    EXPECT_TRUE(device->WriteBlocks(3, 0, &nothing));
    EXPECT_EQ(Commands(), (Codes{0x80, 0x2A, 0x81}));
    EXPECT_EQ(Record().commands[1].ByteCount(), 0u);
    EXPECT_EQ(Record().windowsWritten, 0u);
    EXPECT_TRUE(test.window.steps.empty());
}

TEST_F(BlockTransferTest, ClosedObjectSendsNothing) {
    Attach({});
    device->Close();
    std::vector<uint8_t> block(kBlock);
    EXPECT_FALSE(device->ReadBlocks(509, kBlock, block.data()));
    EXPECT_FALSE(device->WriteBlocks(3, kBlock, block.data()));
    EXPECT_TRUE(Record().operations.empty());
    EXPECT_EQ(Record().locks, 0u);
    EXPECT_TRUE(test.sleeper.pauses.empty());
}

TEST_F(BlockTransferTest, ClosingBlockIsOneZeroBlockAtAddress512) {
    Attach({});
    device->Close();
    device->WriteClosingBlock();
    EXPECT_TRUE(Record().closingBlockArrived);
    EXPECT_EQ(Record().commands[1].Block(), 512u);
    EXPECT_EQ(Record().commands[1].ByteCount(), 4096u);
    EXPECT_EQ(test.window.steps, (std::vector<uint32_t>{1}));
    const std::vector<uint8_t> zeros(kBlock);
    EXPECT_EQ(0, std::memcmp(handheld->Memory().Block(512), zeros.data(), kBlock));
    EXPECT_FALSE(device->IsOpen());
    EXPECT_EQ(Record().OpenHandles(), 0);
}

TEST_F(BlockTransferTest, ClosingBlockIsSkippedWhenTheDriveDoesNotOpen) {
    RefPtr<HandheldDevice> absent = new HandheldDevice(kDriveE, test.Services());
    test.volumes.AttachUnopenable(kDriveE);
    absent->WriteClosingBlock();
    EXPECT_TRUE(test.window.steps.empty());
    EXPECT_EQ(test.volumes.OpenChannels(), 0);
}

}  // namespace
