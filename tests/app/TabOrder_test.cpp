// The main window's keyboard order per mode: Tab and Shift+Tab through the controls as they are
// seen, and the arrow keys round the mode radios without landing on a label.
#include "MainWindowFixture.h"

#include "TabOrder.h"

#include <vector>

namespace {
void StoreFunction(DWORD function)
{
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"Function", REG_DWORD, &function, sizeof(function));
}

// Presses a key on the focused control as the message loop sees it; Shift held when asked.
bool Press(HWND window, WPARAM key, bool shift = false)
{
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    MSG message{GetFocus(), WM_KEYDOWN, key, 1, 0, {}};
    bool taken = MoveFocusInMainWindow(window, message);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    return taken;
}
} // namespace

TEST_F(MainWindowTest, TabGoesThroughTheControlsAsTheyAreSeenInEveryMode)
{
    struct Case {
        DWORD function;
        std::vector<int> order; // from the checked mode radio on, round to it again
    };
    const Case cases[] = {
        {ModeLower, {IDC_LOWER, IDC_START}},
        {ModeListing, {IDC_LISTING, IDC_FONT_SELECT, IDC_RTF, IDC_START}},
        {ModeNumber, {IDC_NUMBER, IDC_NAME, IDC_EXT, IDC_START_NUMBER, IDC_FILL_TAGS, IDC_START}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.function);
        StoreFunction(c.function);
        HWND window = Open();
        EXPECT_EQ(FirstInTabOrder(window), Control(c.order.front()));
        SetFocus(Control(c.order.front()));
        for (size_t i = 1; i <= c.order.size(); ++i) {
            ASSERT_TRUE(Press(window, VK_TAB));
            EXPECT_EQ(GetDlgCtrlID(GetFocus()), c.order[i % c.order.size()]) << "Tab " << i;
        }
        for (size_t i = c.order.size(); i > 0; --i) {
            ASSERT_TRUE(Press(window, VK_TAB, true));
            EXPECT_EQ(GetDlgCtrlID(GetFocus()), c.order[i - 1]) << "Shift+Tab to " << i - 1;
        }
        DestroyWindow(window);
        DrainQuit();
    }
}

TEST_F(MainWindowTest, ArrowKeysGoRoundTheModeRadiosAndChooseThem)
{
    StoreFunction(ModeListing);
    HWND window = Open();
    SetFocus(Control(IDC_LISTING));
    // Down from the listing radio passes the enabled listing row below it.
    ASSERT_TRUE(Press(window, VK_DOWN));
    EXPECT_TRUE(Checked(IDC_NUMBER));
    EXPECT_EQ(CurrentMode, ModeNumber);
    EXPECT_EQ(GetFocus(), Control(IDC_NAME)) << "Number mode asks for the name first";
    SetFocus(Control(IDC_NUMBER));
    ASSERT_TRUE(Press(window, VK_RIGHT));
    EXPECT_EQ(GetFocus(), Control(IDC_LOWER)) << "round from the last radio to the first";
    EXPECT_TRUE(Checked(IDC_LOWER));
    ASSERT_TRUE(Press(window, VK_UP));
    EXPECT_TRUE(Checked(IDC_NUMBER));
    // An edit keeps its arrows; on a button they do nothing.
    SetFocus(Control(IDC_EXT));
    EXPECT_FALSE(Press(window, VK_LEFT));
    SetFocus(Control(IDC_FILL_TAGS));
    EXPECT_TRUE(Press(window, VK_DOWN));
    EXPECT_EQ(GetFocus(), Control(IDC_FILL_TAGS));
}
