#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>

#include "engine/DeviceImage.h"

namespace {

class DeviceImageTest : public ::testing::Test {
protected:
    bool AllBytes(uint32_t block, size_t from, size_t to, uint8_t value) {
        const uint8_t* bytes = image->Block(block);
        return std::all_of(bytes + from, bytes + to, [value](uint8_t b) { return b == value; });
    }

    std::unique_ptr<DeviceImage> image = std::make_unique<DeviceImage>();
};

}  // namespace

TEST_F(DeviceImageTest, PlacementZeroFillsItsLastBlockAndOverwritesEarlierOnes) {
    std::fill_n(image->Bytes(), kImageSize, 0xEE);
    const std::vector<uint8_t> first(6000, 0x11);
    const std::vector<uint8_t> second(100, 0x22);
    ASSERT_TRUE(image->PlaceResource(10, 6000, first.data()));
    ASSERT_TRUE(image->PlaceResource(11, 100, second.data()));

    EXPECT_TRUE(AllBytes(10, 0, kBlockSize, 0x11));
    EXPECT_TRUE(AllBytes(11, 0, 100, 0x22));
    EXPECT_TRUE(AllBytes(11, 100, kBlockSize, 0x00));
    EXPECT_TRUE(AllBytes(12, 0, kBlockSize, 0xEE)) << "a placement spilled past its blocks";
    EXPECT_TRUE(AllBytes(9, 0, kBlockSize, 0xEE));
}

TEST_F(DeviceImageTest, PlacementMustEndInsideTheImage) {
    const std::vector<uint8_t> bytes(4097, 0x33);
    EXPECT_TRUE(image->PlaceResource(510, 4097, bytes.data()));
    EXPECT_TRUE(AllBytes(511, 0, 1, 0x33));
    EXPECT_TRUE(AllBytes(511, 1, kBlockSize, 0x00));

    std::fill_n(image->Block(511), kBlockSize, 0x44);
    EXPECT_FALSE(image->PlaceResource(511, 4097, bytes.data()));
    EXPECT_TRUE(AllBytes(511, 0, kBlockSize, 0x44)) << "a refused placement changed the image";
    EXPECT_FALSE(image->PlaceResource(0xFFFFFFFFu, 1, bytes.data()));

    EXPECT_TRUE(image->PlaceResource(512, 0, nullptr)) << "an empty resource covers no block";
    EXPECT_FALSE(image->PlaceResource(513, 0, nullptr));
}

namespace {

struct Conversion {
    int16_t oldNumber;
    int16_t group;
    int16_t number;
    uint8_t kindByte;
};

class OldRecordConversion : public ::testing::TestWithParam<Conversion> {};

}  // namespace

TEST_P(OldRecordConversion, DerivesTheCharacterFromTheOldNumberAlone) {
    const Conversion& expected = GetParam();
    uint8_t block[kBlockSize];
    std::fill_n(block, kBlockSize, 0xA5);
    uint8_t* raw = block + kSystemRecordOffset;
    raw[0x44] = 0x00;
    raw[0x45] = 0x02;
    raw[0x46] = 0x07;  // a stale group that the conversion disregards
    raw[0x47] = 0x00;
    raw[0x48] = static_cast<uint8_t>(expected.oldNumber);
    raw[0x49] = static_cast<uint8_t>(static_cast<uint16_t>(expected.oldNumber) >> 8);

    SystemRecord record(raw);
    record.ConvertOldRecord();

    EXPECT_EQ(0x201, record.VersionWord());
    EXPECT_EQ(expected.group, record.CharacterGroup());
    EXPECT_EQ(expected.number, record.CharacterNumber());
    EXPECT_EQ(expected.kindByte, raw[0x9F]);
    // The newer layout's fixed fields, then bytes around them that belong to the handheld and
    // pass through.
    const std::pair<int, uint8_t> kBytes[] = {
        {0x98, 0},    {0x99, 0},    {0x9A, 0},     {0x9B, 0},    {0x9C, 1},  {0x9D, 0},
        {0x9E, 0xFF}, {0xA0, 0x11}, {0x12D, 0},    {0x12E, 0},   {0x12F, 0}, {0x43, 0xA5},
        {0x4A, 0xA5}, {0xA1, 0xA5}, {0x12C, 0xA5}, {0x130, 0xA5}};
    for (const auto& [offset, value] : kBytes) EXPECT_EQ(value, raw[offset]) << std::hex << offset;
    EXPECT_EQ(0xA5, block[0]);
}

INSTANTIATE_TEST_SUITE_P(Table, OldRecordConversion,
                         ::testing::Values(Conversion{1, 0, 1, 0x22}, Conversion{4, 2, 0, 0x11},
                                           Conversion{5, 2, 1, 0x11}, Conversion{6, 2, 2, 0x11},
                                           Conversion{2, 0, 0, 0x11}, Conversion{3, 0, 0, 0x11},
                                           Conversion{0, 0, 0, 0x11}, Conversion{7, 0, 0, 0x11},
                                           Conversion{-1, 0, 0, 0x11}));
