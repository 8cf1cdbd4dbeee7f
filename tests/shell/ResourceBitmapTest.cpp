// Checks the committed artwork against what the program and the resource script expect.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kResources = ZUMBIKO_RESOURCE_DIR;

struct Size {
    int32_t width;
    int32_t height;
};

// The pixel sizes the windows lay their controls out by.
const std::map<int, Size> kBitmapSizes = {
    {101, {512, 320}}, {102, {343, 214}}, {201, {155, 57}}, {202, {155, 57}},  {203, {22, 23}},
    {204, {22, 23}},   {205, {66, 48}},   {206, {66, 48}},  {207, {22, 23}},   {208, {22, 23}},
    {209, {56, 57}},   {210, {56, 57}},   {211, {56, 57}},  {1102, {209, 27}},
};

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t{b[at + 3]} << 24;
}
uint16_t U16(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

// Bitmap id -> file, as the resource script names them.
std::map<int, std::string> BitmapFiles() {
    std::map<std::string, int> ids;
    const std::string header = ReadText(kResources + "/ResourceIds.h");
    const std::regex define(R"(#define\s+(IDB_\w+)\s+(\d+))");
    for (std::sregex_iterator it(header.begin(), header.end(), define), end; it != end; ++it) {
        ids[(*it)[1]] = std::stoi((*it)[2]);
    }
    std::map<int, std::string> files;
    const std::string script = ReadText(kResources + "/ZumbikoUpdate.rc");
    const std::regex bitmap(R"((IDB_\w+)\s+BITMAP\s+\"([^\"]+)\")");
    for (std::sregex_iterator it(script.begin(), script.end(), bitmap), end; it != end; ++it) {
        files[ids.at((*it)[1])] = kResources + "/" + (*it)[2].str();
    }
    return files;
}

}  // namespace

TEST(ResourceBitmaps, EveryIdIsInTheScriptOnce) {
    const auto files = BitmapFiles();
    ASSERT_EQ(kBitmapSizes.size(), files.size());
    for (const auto& [id, size] : kBitmapSizes) EXPECT_TRUE(files.count(id)) << id;
}

TEST(ResourceBitmaps, EightBitUncompressedWith65ColoursAtTheirSize) {
    for (const auto& [id, path] : BitmapFiles()) {
        SCOPED_TRACE(path);
        const std::vector<uint8_t> bmp = ReadBytes(path);
        ASSERT_GE(bmp.size(), 54u + 65 * 4);
        EXPECT_EQ('B', bmp[0]);
        EXPECT_EQ('M', bmp[1]);
        EXPECT_EQ(bmp.size(), U32(bmp, 2));          // bfSize
        EXPECT_EQ(14u + 40 + 65 * 4, U32(bmp, 10));  // bfOffBits: palette ends there
        EXPECT_EQ(40u, U32(bmp, 14));                // BITMAPINFOHEADER
        const Size want = kBitmapSizes.at(id);
        EXPECT_EQ(want.width, static_cast<int32_t>(U32(bmp, 18)));
        EXPECT_EQ(want.height, static_cast<int32_t>(U32(bmp, 22)));  // bottom-up
        EXPECT_EQ(1, U16(bmp, 26));
        EXPECT_EQ(8, U16(bmp, 28));
        EXPECT_EQ(0u, U32(bmp, 30));  // BI_RGB
        EXPECT_EQ(65u, U32(bmp, 46));
        const uint32_t stride = (static_cast<uint32_t>(want.width) + 3) & ~3u;
        EXPECT_EQ(bmp.size(), U32(bmp, 10) + stride * static_cast<uint32_t>(want.height));
        for (size_t at = U32(bmp, 10); at < bmp.size(); ++at) {
            ASSERT_LT(bmp[at], 65) << "pixel outside the palette at byte " << at;
        }
    }
}

TEST(ResourceBitmaps, ClosePicturesAreOneAndTheSame) {
    const auto files = BitmapFiles();
    const std::vector<uint8_t> close = ReadBytes(files.at(203));
    for (int id : {204, 207, 208}) EXPECT_EQ(close, ReadBytes(files.at(id))) << id;
    EXPECT_NE(ReadBytes(files.at(201)), ReadBytes(files.at(202)));
    EXPECT_NE(ReadBytes(files.at(205)), ReadBytes(files.at(206)));
}

TEST(ResourceIcon, SixteenAndThirtyTwoPixelsInSixteenAnd256Colours) {
    const std::vector<uint8_t> ico = ReadBytes(kResources + "/ZumbikoUpdate.ico");
    ASSERT_GE(ico.size(), 6u);
    EXPECT_EQ(0, U16(ico, 0));
    EXPECT_EQ(1, U16(ico, 2));
    ASSERT_EQ(4, U16(ico, 4));
    std::map<std::pair<int, int>, bool> seen;
    for (size_t entry = 0; entry < 4; ++entry) {
        const size_t at = 6 + entry * 16;
        const int size = ico[at];
        const int bits = U16(ico, at + 6);
        const uint32_t length = U32(ico, at + 8);
        const uint32_t offset = U32(ico, at + 12);
        ASSERT_LE(size_t{offset} + length, ico.size());
        EXPECT_EQ(static_cast<uint32_t>(size), U32(ico, offset + 4));
        EXPECT_EQ(static_cast<uint32_t>(size * 2), U32(ico, offset + 8));  // colour + mask
        EXPECT_EQ(bits, U16(ico, offset + 14));
        seen[{size, bits}] = true;
    }
    for (int size : {16, 32}) {
        for (int bits : {4, 8}) EXPECT_TRUE((seen[{size, bits}])) << size << "/" << bits;
    }
}
