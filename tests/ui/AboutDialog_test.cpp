// The About dialog from its real template, run modally in the test process; a driver
// thread plays the user with posted keys and commands while the dialog's own loop runs.
#include "AboutDialog.h"
#include "OfferWindow.h"
#include "StaticLink.h"
#include "UiTestWindows.h"
#include "WaitUntil.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {
BOOL CALLBACK TakeAboutDialog(HWND window, LPARAM data)
{
    wchar_t name[64] = L"";
    wchar_t caption[64] = L"";
    GetClassNameW(window, name, 64);
    GetWindowTextW(window, caption, 64);
    if (std::wstring(name) == L"#32770" && std::wstring(caption) == L"About Nomaro" && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(data) = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindAboutDialog(DWORD threadId)
{
    HWND found = nullptr;
    EnumThreadWindows(threadId, TakeAboutDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Posted messages reach the dialog in order: once a later posted marker has been handled,
// every earlier key has been too.
bool AllPostedHandled(HWND dialog)
{
    static UINT marker = 100;
    HWND notice = GetDlgItem(dialog, IDC_ABOUT_NOTICE);
    UINT limit = ++marker;
    PostMessageW(notice, EM_SETLIMITTEXT, limit, 0);
    return WaitUntil(
        [&] { return !IsWindow(dialog) || SendMessageW(notice, EM_GETLIMITTEXT, 0, 0) == static_cast<LRESULT>(limit); });
}

void PostKey(HWND window, WPARAM key)
{
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

HWND FocusOf(DWORD threadId)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(threadId, &info);
    return info.hwndFocus;
}

// Runs the dialog over the parent window; drive() runs on another thread with the dialog and
// the test thread's id, and must end the dialog.
template <typename Drive>
INT_PTR RunAbout(HWND owner, Drive drive)
{
    DWORD threadId = GetCurrentThreadId();
    std::thread driver([&] {
        HWND dialog = nullptr;
        if (!WaitUntil([&] { return (dialog = FindAboutDialog(threadId)) != nullptr; })) {
            ADD_FAILURE() << "the About dialog did not appear";
            return;
        }
        drive(dialog, threadId);
        if (IsWindow(dialog)) {
            ADD_FAILURE() << "the About dialog is still open";
            // Last resort so that the test does not hang.
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        }
    });
    INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutDialogProc, 0);
    driver.join();
    return result;
}

class AboutDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(owner.window(), nullptr);
        SetWindowPos(owner.window(), nullptr, 137, 91, 701, 533, SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(owner.window(), SW_SHOWNORMAL);
    }
    TestParent owner;
};
} // namespace

TEST_F(AboutDialogTest, OpensCentredWithItsHeadingLinksAndNoticeAndOkEndsIt)
{
    HFONT heading = nullptr;
    INT_PTR result = RunAbout(owner.window(), [&](HWND dialog, DWORD threadId) {
        RECT o{};
        RECT d{};
        GetWindowRect(owner.window(), &o);
        GetWindowRect(dialog, &d);
        EXPECT_EQ(d.left, o.left + ((o.right - o.left) - (d.right - d.left)) / 2);
        EXPECT_EQ(d.top, o.top + ((o.bottom - o.top) - (d.bottom - d.top)) / 2);
        EXPECT_FALSE(IsWindowEnabled(owner.window()));

        heading = reinterpret_cast<HFONT>(SendDlgItemMessageW(dialog, IDC_ABOUT_PRODUCT, WM_GETFONT, 0, 0));
        LOGFONTW description = FontDescription(heading);
        EXPECT_STREQ(description.lfFaceName, L"Tahoma");
        EXPECT_EQ(description.lfHeight, 24);
        EXPECT_EQ(description.lfWeight, FW_BOLD);
        EXPECT_EQ(description.lfCharSet, DEFAULT_CHARSET);

        wchar_t text[256] = L"";
        GetDlgItemTextW(dialog, IDC_ABOUT_PRODUCT, text, 256);
        EXPECT_EQ(std::wstring(text).rfind(L"Nomaro ", 0), 0u) << text;
        GetDlgItemTextW(dialog, IDC_ABOUT_MORE_INFO, text, 256);
        EXPECT_STREQ(text, L"Click here for more information");
        GetDlgItemTextW(dialog, IDC_ABOUT_NOTICE, text, 256);
        EXPECT_STREQ(text, L"");
        LONG noticeStyle = GetWindowLongW(GetDlgItem(dialog, IDC_ABOUT_NOTICE), GWL_STYLE);
        EXPECT_EQ(noticeStyle & (ES_MULTILINE | ES_READONLY | ES_WANTRETURN | WS_VSCROLL | WS_TABSTOP),
                  ES_MULTILINE | ES_READONLY | ES_WANTRETURN | WS_VSCROLL | WS_TABSTOP);

        for (int link : {IDC_ABOUT_WEBSITE, IDC_ABOUT_MORE_INFO})
            EXPECT_EQ(GetPropW(GetDlgItem(dialog, link), kStaticLinkProperty), reinterpret_cast<HANDLE>(1)) << link;
        EXPECT_EQ(GetPropW(GetDlgItem(dialog, IDC_ABOUT_SUBTITLE), kStaticLinkProperty), nullptr);

        // The picture control takes the bitmap's own size.
        HWND picture = GetDlgItem(dialog, IDC_ABOUT_PICTURE);
        RECT pictureBox{};
        GetClientRect(picture, &pictureBox);
        EXPECT_EQ(pictureBox.right, 90);
        EXPECT_EQ(pictureBox.bottom, 90);
        auto bitmap = reinterpret_cast<HBITMAP>(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
        BITMAP info{};
        ASSERT_TRUE(GetObjectW(bitmap, sizeof(info), &info));
        EXPECT_EQ(info.bmBitsPixel, 32);

        EXPECT_EQ(FocusOf(threadId), GetDlgItem(dialog, IDOK));
        PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    });
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(IsLiveFont(heading)) << "the heading font goes with the dialog";
    EXPECT_TRUE(IsWindowEnabled(owner.window()));
}

TEST_F(AboutDialogTest, StaysOnScreenWhenItsOwnerIsNearTheEdge)
{
    // Narrower than the dialog and at the screen's left edge: centring alone would put the
    // dialog's left part, caption included, off the screen.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(owner.window(), MONITOR_DEFAULTTONEAREST), &monitor);
    SetWindowPos(owner.window(), nullptr, monitor.rcWork.left, 40, 200, 150, SWP_NOZORDER | SWP_NOACTIVATE);
    RunAbout(owner.window(), [&](HWND dialog, DWORD) {
        RECT o{};
        RECT d{};
        GetWindowRect(owner.window(), &o);
        GetWindowRect(dialog, &d);
        ASSERT_LT(o.left + ((o.right - o.left) - (d.right - d.left)) / 2, monitor.rcWork.left);
        EXPECT_EQ(d.left, monitor.rcWork.left);
        EXPECT_EQ(d.top, o.top + ((o.bottom - o.top) - (d.bottom - d.top)) / 2 < monitor.rcWork.top
                             ? monitor.rcWork.top
                             : o.top + ((o.bottom - o.top) - (d.bottom - d.top)) / 2);
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    });
}

TEST_F(AboutDialogTest, EscapeDoesNothingAndTheCloseBoxEndsIt)
{
    INT_PTR result = RunAbout(owner.window(), [&](HWND dialog, DWORD) {
        PostKey(GetDlgItem(dialog, IDOK), VK_ESCAPE);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(AllPostedHandled(dialog));
        EXPECT_TRUE(IsWindow(dialog) && IsWindowVisible(dialog));
        // Nor from inside the notice box.
        HWND notice = GetDlgItem(dialog, IDC_ABOUT_NOTICE);
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(notice), TRUE);
        PostKey(notice, VK_ESCAPE);
        ASSERT_TRUE(AllPostedHandled(dialog));
        EXPECT_TRUE(IsWindow(dialog) && IsWindowVisible(dialog)) << "Escape in the notice box";

        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    });
    EXPECT_EQ(result, 0);
}

TEST_F(AboutDialogTest, EnterEndsItExceptWhileTheNoticeBoxHasTheFocus)
{
    INT_PTR result = RunAbout(owner.window(), [&](HWND dialog, DWORD threadId) {
        HWND notice = GetDlgItem(dialog, IDC_ABOUT_NOTICE);
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(notice), TRUE);
        ASSERT_EQ(FocusOf(threadId), notice);
        PostKey(notice, VK_RETURN);
        ASSERT_TRUE(AllPostedHandled(dialog));
        EXPECT_TRUE(IsWindow(dialog)) << "the notice box takes Enter itself";

        HWND ok = GetDlgItem(dialog, IDOK);
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(ok), TRUE);
        PostKey(ok, VK_RETURN);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    });
    EXPECT_EQ(result, 0);
}

TEST_F(AboutDialogTest, TheMoreInformationLinkOpensTheOfferWindowForTheOwner)
{
    RegisterOfferClass();

    INT_PTR result = RunAbout(owner.window(), [&](HWND dialog, DWORD) {
        HWND link = GetDlgItem(dialog, IDC_ABOUT_MORE_INFO);
        PostMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        ASSERT_TRUE(WaitUntil([] { return OfferWindowHandle() != nullptr; }));
        EXPECT_EQ(GetWindow(OfferWindowHandle(), GW_OWNER), owner.window());
        ASSERT_TRUE(AllPostedHandled(dialog));
        EXPECT_TRUE(IsWindow(dialog)) << "the About dialog stays open";
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    });
    EXPECT_EQ(result, 0);
    ASSERT_NE(OfferWindowHandle(), nullptr) << "the offer window outlives the About dialog";
    DestroyWindow(OfferWindowHandle());
    EXPECT_EQ(OfferWindowHandle(), nullptr);
}

TEST_F(AboutDialogTest, EveryOpeningMakesAFreshHeadingFont)
{
    for (int round = 0; round < 2; ++round) {
        HFONT heading = nullptr;
        RunAbout(owner.window(), [&](HWND dialog, DWORD) {
            heading = reinterpret_cast<HFONT>(SendDlgItemMessageW(dialog, IDC_ABOUT_PRODUCT, WM_GETFONT, 0, 0));
            EXPECT_TRUE(IsLiveFont(heading));
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
        });
        EXPECT_FALSE(IsLiveFont(heading)) << "round " << round;
    }
}

// Dragged to a monitor at 150 %: the dialog font and the heading made again for the DPI, the links
// underlined in the new font, the picture drawn for 150 % (the controls' places: FindReplaceDialog_test).
TEST_F(AboutDialogTest, FollowsAMoveToAMonitorAtAnotherDpi)
{
    RunAbout(owner.window(), [&](HWND dialog, DWORD) {
        LOGFONTW dialogFont = FontDescription(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
        RECT outer{};
        GetWindowRect(dialog, &outer);
        RECT suggested{outer.left, outer.top, outer.left + (outer.right - outer.left) * 3 / 2,
                       outer.top + (outer.bottom - outer.top) * 3 / 2};
        SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));

        RECT bounds{};
        GetWindowRect(dialog, &bounds);
        EXPECT_TRUE(EqualRect(&bounds, &suggested)) << "the suggested rectangle";
        LOGFONTW okFont = FontDescription(reinterpret_cast<HFONT>(SendDlgItemMessageW(dialog, IDOK, WM_GETFONT, 0, 0)));
        EXPECT_EQ(okFont.lfHeight, MulDiv(dialogFont.lfHeight, 144, 96));
        EXPECT_STREQ(okFont.lfFaceName, dialogFont.lfFaceName);
        LOGFONTW heading = FontDescription(reinterpret_cast<HFONT>(SendDlgItemMessageW(dialog, IDC_ABOUT_PRODUCT, WM_GETFONT, 0, 0)));
        EXPECT_EQ(heading.lfHeight, 36);
        EXPECT_EQ(heading.lfWeight, FW_BOLD);
        HWND link = GetDlgItem(dialog, IDC_ABOUT_WEBSITE);
        LOGFONTW underline = FontDescription(GetPropW(link, kUnderlineFontProperty));
        EXPECT_EQ(underline.lfHeight, okFont.lfHeight) << "the link's underlined font follows its new font";
        EXPECT_EQ(underline.lfUnderline, 1);
        RECT picture{};
        GetClientRect(GetDlgItem(dialog, IDC_ABOUT_PICTURE), &picture);
        EXPECT_EQ(picture.right, 135);
        EXPECT_EQ(picture.bottom, 135);
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    });
}
