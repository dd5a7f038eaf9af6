// Hyperlink labels on real static controls in a real parent window.
#include "StaticLink.h"
#include "UiTestWindows.h"

#include <gtest/gtest.h>

namespace {
constexpr int kLinkId = 501;
constexpr int kSecondLinkId = 502;
constexpr int kPlainId = 503;

LONG_PTR ProcedureOf(HWND window)
{
    return GetWindowLongPtrW(window, GWLP_WNDPROC);
}

HFONT FontOf(HWND window)
{
    return reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
}

// Sits on top of a link to look at what the link's destroy handling left behind.
struct AfterLinkDestroy {
    bool seen = false;
    LONG_PTR procedure = 0;
    HFONT font = nullptr;
    bool anyPropertyLeft = true;
};
AfterLinkDestroy LinkDestroy;
WNDPROC LinkProcedureBelow = nullptr;

LRESULT CALLBACK WatchLinkDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = CallWindowProcW(LinkProcedureBelow, window, message, wParam, lParam);
    if (message == WM_DESTROY) {
        LinkDestroy.seen = true;
        LinkDestroy.procedure = ProcedureOf(window);
        LinkDestroy.font = FontOf(window);
        LinkDestroy.anyPropertyLeft = GetPropW(window, kStaticLinkProperty) || GetPropW(window, kOriginalProcedureProperty) ||
                                      GetPropW(window, kOriginalFontProperty) || GetPropW(window, kUnderlineFontProperty);
    }
    return result;
}

class StaticLinkTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(parent.window(), nullptr);
        link = MakeStatic(parent.window(), kLinkId, L"Visit us", 10, 10, 120, 24, font.get(), WS_CHILD | WS_VISIBLE | SS_LEFT);
        ASSERT_NE(link, nullptr);
        staticProcedure = ProcedureOf(link);
    }

    TestParent parent;
    UniqueFont font{CreateTestFont(20)};
    HWND link = nullptr;
    LONG_PTR staticProcedure = 0;
};
} // namespace

TEST_F(StaticLinkTest, MakingALinkInstallsItsPropertiesProceduresAndNotifyStyle)
{
    ASSERT_EQ(GetWindowLongPtrW(link, GWL_STYLE) & SS_NOTIFY, 0);
    EXPECT_EQ(MakeStaticLink(link), TRUE);

    EXPECT_EQ(GetPropW(link, kStaticLinkProperty), reinterpret_cast<HANDLE>(1));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(GetPropW(link, kOriginalProcedureProperty)), staticProcedure);
    EXPECT_EQ(ProcedureOf(link), reinterpret_cast<LONG_PTR>(StaticLinkProc));
    EXPECT_NE(GetWindowLongPtrW(link, GWL_STYLE) & SS_NOTIFY, 0);
    EXPECT_EQ(GetPropW(link, kOriginalFontProperty), font.get());
    EXPECT_EQ(FontOf(link), font.get());

    auto underline = static_cast<HFONT>(GetPropW(link, kUnderlineFontProperty));
    ASSERT_TRUE(IsLiveFont(underline));
    EXPECT_NE(underline, font.get());
    LOGFONTW plain = FontDescription(font.get());
    LOGFONTW underlined = FontDescription(underline);
    EXPECT_EQ(underlined.lfUnderline, 1);
    EXPECT_EQ(underlined.lfHeight, plain.lfHeight);
    EXPECT_EQ(underlined.lfWeight, plain.lfWeight);
    EXPECT_STREQ(underlined.lfFaceName, plain.lfFaceName);

    EXPECT_EQ(ProcedureOf(parent.window()), reinterpret_cast<LONG_PTR>(LinkParentProc));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetPropW(parent.window(), kOriginalProcedureProperty)), TestParent::Procedure());
    // The plain text and place stay as they were.
    wchar_t text[64] = L"";
    GetWindowTextW(link, text, 64);
    EXPECT_STREQ(text, L"Visit us");
}

TEST_F(StaticLinkTest, TwoLinksSubclassTheirParentOnce)
{
    HWND second = MakeStatic(parent.window(), kSecondLinkId, L"Second", 10, 40, 120, 24, font.get());
    MakeStaticLink(link);
    MakeStaticLink(second);
    EXPECT_EQ(ProcedureOf(parent.window()), reinterpret_cast<LONG_PTR>(LinkParentProc));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetPropW(parent.window(), kOriginalProcedureProperty)), TestParent::Procedure());
    EXPECT_NE(GetPropW(link, kUnderlineFontProperty), GetPropW(second, kUnderlineFontProperty));

    // Destroying the parent restores its procedure before its own handling runs, and both links
    // delete their own underlined fonts but never the font they were given.
    auto firstUnderline = static_cast<HFONT>(GetPropW(link, kUnderlineFontProperty));
    auto secondUnderline = static_cast<HFONT>(GetPropW(second, kUnderlineFontProperty));
    DestroyWindow(parent.window());
    parent.Forget();
    ASSERT_TRUE(TestParent::Destroyed().seen);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(TestParent::Destroyed().procedure), TestParent::Procedure());
    EXPECT_EQ(TestParent::Destroyed().originalProcedureProperty, nullptr);
    EXPECT_FALSE(IsLiveFont(firstUnderline));
    EXPECT_FALSE(IsLiveFont(secondUnderline));
    EXPECT_TRUE(IsLiveFont(font.get()));
}

TEST_F(StaticLinkTest, LinksAreBlueOnTheParentsBackgroundAndPlainStaticsKeepTheParentsColours)
{
    HWND plain = MakeStatic(parent.window(), kPlainId, L"Plain", 10, 40, 120, 24, font.get());
    MakeStaticLink(link);
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));

    LRESULT linkBrush = SendMessageW(parent.window(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                                     reinterpret_cast<LPARAM>(link));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(linkBrush), parent.brush());
    EXPECT_EQ(GetTextColor(dc.get()), RGB(0, 0, 255));
    EXPECT_EQ(GetBkColor(dc.get()), kParentBackColour);

    LRESULT plainBrush = SendMessageW(parent.window(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                                      reinterpret_cast<LPARAM>(plain));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(plainBrush), parent.brush());
    EXPECT_EQ(GetTextColor(dc.get()), kParentTextColour);

    // And on screen: the link's text is drawn blue, the plain label's in the parent's red.
    ShowWindow(parent.window(), SW_SHOWNOACTIVATE);
    UpdateWindow(parent.window());
    Pixels pixels = CaptureClient(parent.window());
    RECT linkArea{10, 10, 130, 34};
    RECT plainArea{10, 40, 130, 64};
    EXPECT_GT(pixels.Count(linkArea, IsBluish), 20);
    EXPECT_EQ(pixels.Count(plainArea, IsBluish), 0);
    EXPECT_GT(pixels.Count(plainArea, [](COLORREF c) { return GetRValue(c) > 150 && GetGValue(c) < 90 && GetBValue(c) < 90; }),
              20);
}

TEST_F(StaticLinkTest, HoverUnderlinesAndLeavingInAnyDirectionRestores)
{
    MakeStaticLink(link);
    auto underline = static_cast<HFONT>(GetPropW(link, kUnderlineFontProperty));
    const LPARAM leaving[] = {MAKELPARAM(130, 5), MAKELPARAM(5, 30), MAKELPARAM(static_cast<WORD>(-3), 5),
                              MAKELPARAM(5, static_cast<WORD>(-3))};
    for (LPARAM outside : leaving) {
        SendMessageW(link, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        EXPECT_EQ(GetCapture(), link);
        EXPECT_EQ(FontOf(link), underline);
        // Moving within the link keeps it underlined.
        SendMessageW(link, WM_MOUSEMOVE, 0, MAKELPARAM(119, 23));
        EXPECT_EQ(GetCapture(), link);
        EXPECT_EQ(FontOf(link), underline);

        SendMessageW(link, WM_MOUSEMOVE, 0, outside);
        EXPECT_NE(GetCapture(), link) << "leaving at " << LOWORD(outside) << "," << HIWORD(outside);
        EXPECT_EQ(FontOf(link), font.get());
    }
}

TEST_F(StaticLinkTest, ShowsTheHandCursor)
{
    MakeStaticLink(link);
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    LRESULT answer = SendMessageW(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(answer, TRUE);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
}

TEST_F(StaticLinkTest, ClicksAndDoubleClicksReachTheParentAsCommands)
{
    MakeStaticLink(link);
    SendMessageW(link, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PumpWaitingMessages();
    EXPECT_EQ(TestParent::Commands(), std::vector<int>{kLinkId});

    TestParent::Commands().clear();
    SendMessageW(link, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    PumpWaitingMessages();
    EXPECT_EQ(TestParent::Commands(), std::vector<int>{kLinkId});
}

TEST_F(StaticLinkTest, DestroyingALinkRestoresItsProcedureAndFontAndDeletesOnlyTheUnderline)
{
    MakeStaticLink(link);
    auto underline = static_cast<HFONT>(GetPropW(link, kUnderlineFontProperty));
    // Destroyed while hovered: the original font must still come back.
    SendMessageW(link, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ASSERT_EQ(FontOf(link), underline);

    LinkDestroy = AfterLinkDestroy{};
    LinkProcedureBelow = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(link, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchLinkDestroy)));
    ASSERT_EQ(reinterpret_cast<LONG_PTR>(LinkProcedureBelow), reinterpret_cast<LONG_PTR>(StaticLinkProc));
    DestroyWindow(link);

    ASSERT_TRUE(LinkDestroy.seen);
    EXPECT_EQ(LinkDestroy.procedure, staticProcedure);
    EXPECT_EQ(LinkDestroy.font, font.get());
    EXPECT_FALSE(LinkDestroy.anyPropertyLeft);
    EXPECT_FALSE(IsLiveFont(underline));
    EXPECT_TRUE(IsLiveFont(font.get()));
    // The parent stays subclassed for its remaining children until it is destroyed itself.
    EXPECT_EQ(ProcedureOf(parent.window()), reinterpret_cast<LONG_PTR>(LinkParentProc));
}
