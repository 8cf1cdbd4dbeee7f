#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/Application.h"
#include "app/core/RefPtr.h"
#include "resources/ResourceIds.h"
#include "tests/windows/ProgramControl.h"
#include "tests/windows/WindowTestSupport.h"
#include "ui/MessageDialog.h"
#include "ui/core/MessageTable.h"

namespace {

struct Seen {
    SIZE client{};
    RECT ok{}, close{}, icon{}, text{};
    std::wstring shown;
    COLORREF iconPixel = CLR_INVALID;
    bool textClear = false;
};

// Shows a message with no owner and reads its layout while it is up.
template <typename... Arguments>
Seen Show(uint32_t kind, const wchar_t* format, Arguments... arguments) {
    Seen seen;
    const bool shown = WhileModal(
        nullptr,
        [&](HWND dialog) {
            seen.client = ClientSize(dialog);
            seen.ok = ControlRect(dialog, IDOK);
            seen.close = ControlRect(dialog, IDCANCEL);
            seen.icon = ControlRect(dialog, IDC_MESSAGE_ICON);
            seen.text = ControlRect(dialog, IDC_MESSAGE_TEXT);
            const int length = GetWindowTextLengthW(GetDlgItem(dialog, IDC_MESSAGE_TEXT));
            seen.shown.resize(length + 1);
            GetDlgItemTextW(dialog, IDC_MESSAGE_TEXT, seen.shown.data(), length + 1);
            seen.shown.resize(length);
            HWND icon = GetDlgItem(dialog, IDC_MESSAGE_ICON);
            UpdateWindow(icon);
            HDC dc = GetDC(icon);
            // Left of the picture's centre: inside the disc of the error and information
            // icons, beside the warning's triangle.
            seen.iconPixel = GetPixel(dc, 12, 28);
            ReleaseDC(icon, dc);
            UpdateWindow(GetDlgItem(dialog, IDC_MESSAGE_TEXT));
            seen.textClear = TextClearOfEdges(GetDlgItem(dialog, IDC_MESSAGE_TEXT));
        },
        [&] { EXPECT_EQ(1, ShowMessage(nullptr, kind, format, arguments...)); });
    EXPECT_TRUE(shown);
    return seen;
}

bool Reddish(COLORREF c) {
    return GetRValue(c) > 180 && GetGValue(c) < 90 && GetBValue(c) < 110;
}

bool IsPlaced(const RECT& r, int x, int y, int width, int height) {
    return r.left == x && r.top == y && r.right - r.left == width && r.bottom - r.top == height;
}

// The end code after a button or key meant for the dialog: a control's id, or 0 for the
// dialog itself.
INT_PTR EndCodeAfter(int target, UINT message, WPARAM wParam) {
    const RefPtr<MessageDialog> dialog(new MessageDialog(0x40, L"Bye"));
    WhileModal(
        nullptr,
        [&](HWND shown) {
            PostMessageW(target != 0 ? GetDlgItem(shown, target) : shown, message, wParam, 0);
        },
        [&] { dialog->Create(g_instance, nullptr, IDD_MESSAGE); });
    return dialog->result;
}

}  // namespace

TEST(MessageDialog, SetUpSizesTheSkinAndPlacesEveryControl) {
    const Seen seen = Show(0x30, L"Please do not remove the handheld during the update.");
    EXPECT_EQ(343, seen.client.cx);
    EXPECT_EQ(214, seen.client.cy);
    EXPECT_TRUE(IsPlaced(seen.ok, 135, 157, 66, 48));
    EXPECT_TRUE(IsPlaced(seen.close, 318, 3, 22, 23));
    EXPECT_TRUE(IsPlaced(seen.icon, 4, 59, 56, 57));
    EXPECT_TRUE(IsPlaced(seen.text, 68, 48, 250, 95));
    EXPECT_EQ(L"Please do not remove the handheld during the update.", seen.shown);
}

TEST(MessageDialog, IconFollowsOnlyTheKindBitsOfTheKind) {
    const Seen error = Show(0x14, L"Error");  // 0x10 with a stray low bit
    EXPECT_TRUE(IsPlaced(error.icon, 4, 59, 56, 57));
    EXPECT_TRUE(Reddish(error.iconPixel)) << std::hex << error.iconPixel;

    const Seen information = Show(0x40, L"Information");
    EXPECT_TRUE(IsPlaced(information.icon, 4, 59, 56, 57));
    EXPECT_FALSE(Reddish(information.iconPixel));

    // The question value, and none at all, show no icon: it keeps its template place.
    for (uint32_t kind : {0x20u, 0x00u}) {
        const Seen none = Show(kind, L"None");
        EXPECT_FALSE(IsPlaced(none.icon, 4, 59, 56, 57)) << kind;
    }
}

TEST(MessageDialog, TextIsFormattedAndCutAt1023Characters) {
    EXPECT_EQ(L"Error code=0000BEEF", Show(0x10, L"Error code=%08X", 0xBEEFu).shown);
    EXPECT_EQ(L"data 100%", Show(0x10, L"%ls", L"data 100%").shown);
    const std::wstring longText(1024, L'x');
    const Seen cut = Show(0x40, L"%ls", longText.c_str());
    EXPECT_EQ(1023u, cut.shown.size());
}

TEST(MessageDialog, EveryTextOfBothLanguagesStaysWholeInsideItsBox) {
    for (const int32_t language : {kLanguageEnglish, kLanguageGerman}) {
        languageIndex = language;
        for (uint32_t id = 1; id < kMessageCount; ++id) {
            EXPECT_TRUE(Show(0x10, MessageText(MessageId(id)), 1u).textClear) << language << id;
        }
    }
    languageIndex = kLanguageEnglish;
}

TEST(MessageDialog, OkCloseEnterAndEscapeEachEndItThemselves) {
    struct Way {
        int target;
        UINT message;
        WPARAM wParam;
        INT_PTR endCode;
    };
    const Way ways[] = {{IDOK, BM_CLICK, 0, IDOK},
                        {IDCANCEL, BM_CLICK, 0, IDCANCEL},
                        {0, WM_KEYDOWN, VK_RETURN, IDOK},
                        {0, WM_KEYDOWN, VK_ESCAPE, IDCANCEL}};
    for (const Way& way : ways) {
        EXPECT_EQ(way.endCode, EndCodeAfter(way.target, way.message, way.wParam))
            << way.target << " " << way.wParam;
    }
}

// A quit waiting when the message comes up would end it unseen; it waits for the user.
TEST(MessageDialog, QuitWaitsUntilTheUserHasClosedTheMessage) {
    PostQuitMessage(3);
    bool seen = false;
    WhileModal(
        nullptr,
        [&](HWND shown) {
            seen = true;
            PostMessageW(shown, WM_COMMAND, IDOK, 0);
        },
        [&] { ShowMessage(nullptr, 0x10, L"Read error"); });
    EXPECT_TRUE(seen);
    MSG quit{};
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit is kept";
    EXPECT_EQ(3u, quit.wParam);
}
