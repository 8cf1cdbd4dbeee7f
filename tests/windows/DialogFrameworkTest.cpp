#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, whose types it uses
#include <commctrl.h>

#include <set>
#include <vector>

#include "app/Application.h"
#include "app/Dialog.h"
#include "app/DllSearch.h"
#include "app/core/RefPtr.h"
#include "platform/win32/SystemFunction.h"
#include "resources/ResourceIds.h"
#include "tests/windows/WindowTestSupport.h"

namespace {

// A modeless dialog that records what reaches its handler and answers command state
// from the sets the test fills.
class ProbeDialog : public ModelessDialog {
public:
    explicit ProbeDialog(bool* destroyed = nullptr) : destroyed(destroyed) {}
    ~ProbeDialog() override {
        if (destroyed != nullptr) *destroyed = true;
    }

    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        messages.push_back(message);
        if (message == WM_NCDESTROY) countAtNcDestroy = RefCount();
        return ModelessDialog::HandleMessage(window, message, wParam, lParam);
    }
    void UpdateCommandState(uint32_t id, bool& enabled, bool& checked) override {
        if (disabled.count(id)) enabled = false;
        if (checkedIds.count(id)) checked = true;
    }

    std::vector<UINT> messages;
    std::set<uint32_t> disabled;
    std::set<uint32_t> checkedIds;
    int32_t countAtNcDestroy = -1;

private:
    bool* destroyed;
};

// Ends itself with the command posted at start; may keep IDOK for itself.
class ModalProbe : public ModalDialog {
public:
    ModalProbe(WPARAM command, bool keepsOk) : command(command), keepsOk(keepsOk) {}

private:
    void OnInit() override { PostMessageW(Handle(), WM_COMMAND, command, 0); }
    bool OnCommand(uint32_t id) override {
        if (!keepsOk || id != IDOK) return ModalDialog::OnCommand(id);
        PostMessageW(Handle(), WM_COMMAND, IDCANCEL, 0);
        return true;
    }

    WPARAM command;
    bool keepsOk;
};

class Counted : public RefCounted {};

INT_PTR RunModal(WPARAM command, bool keepsOk = false) {
    const RefPtr<ModalProbe> probe(new ModalProbe(command, keepsOk));
    EXPECT_TRUE(probe->Create(g_instance, nullptr, IDD_ABOUT));
    EXPECT_EQ(1, probe->RefCount());  // the window's reference is gone with the window
    return probe->result;
}

// A probe made from the template a test names; its window goes with the test.
class DialogTest : public testing::Test {
protected:
    void TearDown() override {
        if (IsWindow(probe->Handle())) DestroyWindow(probe->Handle());
    }
    HWND Open(uint32_t templateId) {
        EXPECT_TRUE(probe->Create(g_instance, nullptr, templateId));
        return probe->Handle();
    }

    const RefPtr<ProbeDialog> probe{new ProbeDialog()};
};
using DialogIdle = DialogTest;
using DialogMenus = DialogTest;
using DialogNotify = DialogTest;
using DialogPlacement = DialogTest;

}  // namespace

TEST(DialogBinding, WindowHoldsOneReferenceFromInitDialogToNcDestroy) {
    bool destroyed = false;
    RefPtr<ProbeDialog> probe(new ProbeDialog(&destroyed));
    EXPECT_EQ(1, probe->RefCount());
    ASSERT_TRUE(probe->Create(g_instance, nullptr, IDD_ABOUT));
    HWND window = probe->Handle();
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(2, probe->RefCount());
    EXPECT_EQ(probe.Get(), GetPropW(window, kDialogObjectProperty));
    // Messages before WM_INITDIALOG (WM_SETFONT) never reach the object.
    ASSERT_FALSE(probe->messages.empty());
    EXPECT_EQ(static_cast<UINT>(WM_INITDIALOG), probe->messages.front());
    EXPECT_TRUE(IsWindowVisible(window));

    DestroyWindow(window);
    EXPECT_EQ(static_cast<UINT>(WM_NCDESTROY), probe->messages.back());
    EXPECT_EQ(2, probe->countAtNcDestroy);  // the owner's and the call's own
    EXPECT_EQ(1, probe->RefCount());
    EXPECT_FALSE(destroyed);
    // A modeless object outlives its window while its owner holds it.
    EXPECT_EQ(window, probe->Handle());
    probe.Reset();
    EXPECT_TRUE(destroyed);
}

TEST(DialogBinding, ObjectHeldOnlyByItsWindowGoesRightAfterNcDestroy) {
    bool destroyed = false;
    HWND window = nullptr;
    {
        const RefPtr<ProbeDialog> probe(new ProbeDialog(&destroyed));
        ASSERT_TRUE(probe->Create(g_instance, nullptr, IDD_ABOUT));
        window = probe->Handle();
    }
    EXPECT_FALSE(destroyed);
    DestroyWindow(window);
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(nullptr, GetPropW(window, kDialogObjectProperty));
}

TEST(DialogBinding, FailedCreationHoldsNoReference) {
    const RefPtr<ProbeDialog> probe(new ProbeDialog());
    EXPECT_FALSE(probe->Create(g_instance, nullptr, 4242));
    EXPECT_EQ(1, probe->RefCount());
    EXPECT_EQ(nullptr, probe->Handle());
}

TEST(ModalDialog, EndCodesFollowOkAndCancelWhateverTheNotification) {
    EXPECT_EQ(1, RunModal(IDOK));
    EXPECT_EQ(2, RunModal(IDCANCEL));
    EXPECT_EQ(1, RunModal(MAKEWPARAM(IDOK, BN_CLICKED)));
    EXPECT_EQ(2, RunModal(MAKEWPARAM(IDCANCEL, 0x1234)));
    // A dialog that handles OK itself decides; here it goes on to cancel.
    EXPECT_EQ(2, RunModal(IDOK, true));
}

TEST_F(DialogIdle, RefreshDisablesAndMovesTheFocusOnFirst) {
    HWND window = Open(IDD_MAIN_WINDOW);
    HWND english = GetDlgItem(window, IDC_ENGLISH);
    SetFocus(english);
    ASSERT_EQ(english, GetFocus());

    probe->disabled = {IDC_ENGLISH};
    probe->OnIdle();
    EXPECT_FALSE(IsWindowEnabled(english));
    EXPECT_NE(english, GetFocus());
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDC_DEUTSCH)));

    // Enabled again on every pass, not only on a change.
    probe->disabled.clear();
    probe->OnIdle();
    EXPECT_TRUE(IsWindowEnabled(english));
}

TEST_F(DialogIdle, HiddenControlKeepsItsStateUntilItShowsAgain) {
    HWND window = Open(IDD_MAIN_WINDOW);
    HWND deutsch = GetDlgItem(window, IDC_DEUTSCH);
    ShowWindow(deutsch, SW_HIDE);
    probe->disabled = {IDC_DEUTSCH};
    probe->OnIdle();
    EXPECT_TRUE(IsWindowEnabled(deutsch));
    ShowWindow(deutsch, SW_SHOW);
    probe->OnIdle();
    EXPECT_FALSE(IsWindowEnabled(deutsch));
}

TEST_F(DialogMenus, PopupItemsFollowCommandStateButTheWindowMenuIsLeftAlone) {
    HWND window = Open(IDD_ABOUT);
    HMENU menu = CreatePopupMenu();
    HMENU sub = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 100, L"Plain");
    AppendMenuW(menu, MF_STRING | MF_GRAYED | MF_DISABLED, 101, L"Grayed");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), L"Sub");
    probe->disabled = {100};
    probe->checkedIds = {101};

    SendMessageW(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, TRUE));
    EXPECT_EQ(0u, GetMenuState(menu, 100, MF_BYCOMMAND) & MF_GRAYED);

    SendMessageW(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    EXPECT_NE(0u, GetMenuState(menu, 100, MF_BYCOMMAND) & MF_GRAYED);
    // A fully grayed item comes in disabled and stays so.
    const UINT grayed = GetMenuState(menu, 101, MF_BYCOMMAND);
    EXPECT_NE(0u, grayed & MF_GRAYED);
    EXPECT_NE(0u, grayed & MF_CHECKED);
    DestroyMenu(menu);
}

TEST_F(DialogNotify, ListItemsHoldAReferenceToTheirObject) {
    HWND window = Open(IDD_ABOUT);
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, 100, 100, window,
                                reinterpret_cast<HMENU>(500), g_instance, nullptr);
    ASSERT_NE(nullptr, list);
    const RefPtr<Counted> object(new Counted());

    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.lParam = reinterpret_cast<LPARAM>(object.Get());
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(2, object->RefCount());
    item.iItem = 1;
    item.lParam = 0;
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));  // no data
    SendMessageW(list, LVM_DELETEITEM, 1, 0);
    EXPECT_EQ(2, object->RefCount());
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    EXPECT_EQ(1, object->RefCount());
}

TEST_F(DialogNotify, TabKeyWrapsTheFocusAroundTheTabs) {
    HWND window = Open(IDD_ABOUT);
    HWND tabs = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 40,
                                window, reinterpret_cast<HMENU>(501), g_instance, nullptr);
    ASSERT_NE(nullptr, tabs);
    for (int i = 0; i < 3; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(L"Tab");
        SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    NMTCKEYDOWN note{};
    note.hdr.hwndFrom = tabs;
    note.hdr.idFrom = 501;
    note.hdr.code = TCN_KEYDOWN;
    note.wVKey = VK_TAB;
    const auto send = [&] {
        SendMessageW(window, WM_NOTIFY, 501, reinterpret_cast<LPARAM>(&note));
    };
    BYTE keys[256] = {};
    SetKeyboardState(keys);

    SendMessageW(tabs, TCM_SETCURSEL, 2, 0);
    send();
    EXPECT_EQ(0, SendMessageW(tabs, TCM_GETCURFOCUS, 0, 0));

    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(tabs, TCM_SETCURSEL, 0, 0);
    send();
    EXPECT_EQ(2, SendMessageW(tabs, TCM_GETCURFOCUS, 0, 0));
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
}

TEST_F(DialogPlacement, ChildCentresInItsParentAndTopLevelStaysOnTheWorkArea) {
    HWND window = Open(IDD_MAIN_WINDOW);
    HWND english = GetDlgItem(window, IDC_ENGLISH);
    CenterWindow(window, english);
    const RECT placed = ControlRect(window, IDC_ENGLISH);
    RECT frame{};
    GetWindowRect(window, &frame);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    // Centred on the parent's window rectangle, placed in client coordinates.
    EXPECT_NEAR((frame.left + frame.right) / 2.0 - origin.x, (placed.left + placed.right) / 2.0,
                1.0);

    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, area.right - 60, 200, 50,
                                 50, nullptr, nullptr, g_instance, nullptr);
    CenterWindow(owner, window);
    RECT kept{};
    GetWindowRect(window, &kept);
    EXPECT_EQ(area.right, kept.right);
    DestroyWindow(owner);
}

// Wine, as Windows 8 and later, has the call that keeps loads by name to the system folder.
TEST(SystemFunction, FoundWhereTheSystemHasItAndNullElsewhere) {
    EXPECT_EQ(DllSearch::SystemDirectoryOnly, RestrictDllSearch());
    EXPECT_EQ(nullptr, OptionalSystemFunction<FARPROC>(L"kernel32.dll", "NoSuchCall"));
    EXPECT_EQ(nullptr, OptionalSystemFunction<FARPROC>(L"nosuch.dll", "Sleep"));
}
