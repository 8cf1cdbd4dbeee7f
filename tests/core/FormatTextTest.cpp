#include <gtest/gtest.h>

#include <cwchar>

#include "app/core/FormatText.h"

TEST(FormatText, FormatsIdAsEightUpperCaseHexDigits) {
    wchar_t text[32];
    EXPECT_EQ(kFormatOk, FormatText(text, 32, L"Error code=%08X", 0xFF00001Au));
    EXPECT_STREQ(L"Error code=FF00001A", text);
    EXPECT_EQ(kFormatOk, FormatText(text, 32, L"%08X", 0x2Au));
    EXPECT_STREQ(L"0000002A", text);
}

TEST(FormatText, TruncatesToCapacityAndTerminates) {
    wchar_t text[8];
    std::wmemset(text, L'#', 8);
    EXPECT_EQ(kFormatTruncated, FormatText(text, 5, L"%08X", 0x12345678u));
    EXPECT_STREQ(L"1234", text);
    EXPECT_EQ(L'#', text[5]);  // nothing written past the capacity

    EXPECT_EQ(kFormatTruncated, FormatText(text, 1, L"abc"));
    EXPECT_STREQ(L"", text);
}

TEST(FormatText, ExactFitIsNotTruncated) {
    wchar_t text[4];
    EXPECT_EQ(kFormatOk, FormatText(text, 4, L"abc"));
    EXPECT_STREQ(L"abc", text);
}

TEST(FormatText, RejectsZeroAndHugeCapacityWithoutWriting) {
    wchar_t text[2] = {L'x', L'y'};
    EXPECT_EQ(kFormatInvalidArgument, FormatText(text, 0, L"abc"));
    EXPECT_EQ(kFormatInvalidArgument, FormatText(text, size_t{0x80000000u}, L"abc"));
    EXPECT_EQ(L'x', text[0]);
    EXPECT_EQ(L'y', text[1]);
}

TEST(FormatText, WideStringArgumentUsesLs) {
    wchar_t text[16];
    EXPECT_EQ(kFormatOk, FormatText(text, 16, L"\\\\.\\%lc:", L'E'));
    EXPECT_STREQ(L"\\\\.\\E:", text);
    EXPECT_EQ(kFormatOk, FormatText(text, 16, L"[%ls]", L"ab"));
    EXPECT_STREQ(L"[ab]", text);
}
