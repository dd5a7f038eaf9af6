// The "Free Book" window as the program opens it: one at most, always 600 x 420 at its
// place, its painting, its links and its resources.
#include "HighContrast.h"
#include "OfferWindow.h"
#include "StaticLink.h"
#include "UiTestWindows.h"
#include "resource.h"

#include <gtest/gtest.h>

namespace {
RECT Bounds(HWND window)
{
    RECT bounds{};
    GetWindowRect(window, &bounds);
    return bounds;
}

RECT ChildPlace(HWND parent, HWND child)
{
    RECT place = Bounds(child);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

RECT ExpectedPlace()
{
    RECT desktop{};
    GetClientRect(GetDesktopWindow(), &desktop);
    LONG left = desktop.right / 2 - 300;
    LONG top = desktop.bottom / 2 - 225;
    return RECT{left, top, left + 600, top + 420};
}

::testing::AssertionResult AtItsPlace(HWND window)
{
    RECT bounds = Bounds(window);
    RECT expected = ExpectedPlace();
    if (EqualRect(&bounds, &expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "window at " << bounds.left << "," << bounds.top << " " << bounds.right - bounds.left
                                         << "x" << bounds.bottom - bounds.top << ", expected " << expected.left << ","
                                         << expected.top << " 600x420";
}

class OfferWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        RegisterOfferClass();
        ASSERT_NE(owner.window(), nullptr);
        ASSERT_EQ(OfferWindowHandle(), nullptr);
        EXPECT_EQ(OpenOfferWindow(owner.window()), TRUE);
        offer = OfferWindowHandle();
        ASSERT_NE(offer, nullptr);
        PumpWaitingMessages();
    }
    void TearDown() override
    {
        if (OfferWindowHandle())
            DestroyWindow(OfferWindowHandle());
    }

    TestParent owner;
    HWND offer = nullptr;
};
} // namespace

TEST_F(OfferWindowTest, OpensOnceAsAFixedCaptionedWindowOwnedByTheCaller)
{
    wchar_t caption[64] = L"";
    GetWindowTextW(offer, caption, 64);
    EXPECT_STREQ(caption, L"Free Book");
    EXPECT_EQ(GetWindow(offer, GW_OWNER), owner.window());
    LONG style = GetWindowLongW(offer, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_NE(style & WS_SYSMENU, 0);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_MINIMIZE), 0);
    EXPECT_EQ(GetWindowLongW(offer, GWL_EXSTYLE) & WS_EX_OVERLAPPEDWINDOW, WS_EX_OVERLAPPEDWINDOW);
    EXPECT_TRUE(IsWindowVisible(offer));
    EXPECT_TRUE(AtItsPlace(offer));
    // Painted whole at once, the class's white background included.
    Pixels pixels = CaptureClient(offer);
    auto notWhite = [](COLORREF c) { return c != RGB(255, 255, 255); };
    EXPECT_EQ(pixels.Count(RECT{320, 240, 580, 262}, notWhite), 0) << "beside the offer link";
    EXPECT_EQ(pixels.Count(RECT{0, 372, pixels.width, pixels.height}, notWhite), 0) << "below the last line";
    EXPECT_EQ(pixels.Count(RECT{10, 171, 580, 179}, notWhite), 0) << "between the picture and paragraph 2";

    EXPECT_EQ(OpenOfferWindow(owner.window()), TRUE);
    EXPECT_EQ(OfferWindowHandle(), offer);
    EXPECT_EQ(ThreadWindows(kOfferWindowClassName), std::vector<HWND>{offer});
    EXPECT_EQ(GetFocus(), offer);
    EXPECT_EQ(GetActiveWindow(), offer);
}

TEST_F(OfferWindowTest, EverySizeChangeEndsAt600By420AtItsPlaceButDraggingMovesIt)
{
    SetWindowPos(offer, nullptr, 0, 0, 300, 200, SWP_NOZORDER | SWP_NOMOVE);
    EXPECT_TRUE(AtItsPlace(offer)) << "after a smaller size";
    SetWindowPos(offer, nullptr, 5, 5, 900, 800, SWP_NOZORDER);
    EXPECT_TRUE(AtItsPlace(offer)) << "after a larger size elsewhere";
    ShowWindow(offer, SW_MINIMIZE);
    ShowWindow(offer, SW_RESTORE);
    PumpWaitingMessages();
    EXPECT_TRUE(AtItsPlace(offer)) << "after minimizing and restoring";
    ShowWindow(offer, SW_MAXIMIZE);
    PumpWaitingMessages();
    EXPECT_TRUE(AtItsPlace(offer)) << "after maximizing";

    // Moving without a size change (dragging by the caption) keeps the new place.
    ShowWindow(offer, SW_RESTORE);
    SetWindowPos(offer, nullptr, 40, 30, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
    RECT moved = Bounds(offer);
    EXPECT_EQ(moved.left, 40);
    EXPECT_EQ(moved.top, 30);
    EXPECT_EQ(moved.right - moved.left, 600);
}

TEST_F(OfferWindowTest, HasTwoBlueLinksOnWhiteInTheLinkFont)
{
    struct Expected {
        int id;
        const wchar_t* text;
        RECT place;
    };
    const Expected links[] = {{IDC_OFFER_PDF, L"Free Book Offer (Adobe\u00ae PDF)", {10, 240, 310, 260}},
                              {IDC_OFFER_WEBSITE, nullptr, {220, 350, 420, 370}}};
    for (const Expected& expected : links) {
        HWND link = GetDlgItem(offer, expected.id);
        ASSERT_NE(link, nullptr) << expected.id;
        if (expected.text) {
            wchar_t text[128] = L"";
            GetWindowTextW(link, text, 128);
            EXPECT_STREQ(text, expected.text);
        }
        RECT place = ChildPlace(offer, link);
        EXPECT_TRUE(EqualRect(&place, &expected.place)) << expected.id << " at " << place.left << "," << place.top;
        EXPECT_EQ(GetPropW(link, kStaticLinkProperty), reinterpret_cast<HANDLE>(1));
        EXPECT_EQ(GetWindowLongW(link, GWL_EXSTYLE) & ~WS_EX_NOPARENTNOTIFY, 0);
        LOGFONTW font = FontDescription(reinterpret_cast<HFONT>(SendMessageW(link, WM_GETFONT, 0, 0)));
        EXPECT_STREQ(font.lfFaceName, L"Tahoma");
        EXPECT_EQ(font.lfHeight, 20);
        EXPECT_EQ(font.lfWeight, 0);
        EXPECT_EQ(font.lfUnderline, 0);

        UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
        LRESULT brush = SendMessageW(offer, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()), reinterpret_cast<LPARAM>(link));
        EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(WHITE_BRUSH));
        EXPECT_EQ(GetBkColor(dc.get()), RGB(255, 255, 255));
        EXPECT_EQ(GetTextColor(dc.get()), RGB(0, 0, 255));
    }
    // Both links share the one link font but each has an underlined copy of its own.
    EXPECT_EQ(SendDlgItemMessageW(offer, IDC_OFFER_PDF, WM_GETFONT, 0, 0),
              SendDlgItemMessageW(offer, IDC_OFFER_WEBSITE, WM_GETFONT, 0, 0));
    EXPECT_NE(GetPropW(GetDlgItem(offer, IDC_OFFER_PDF), kUnderlineFontProperty),
              GetPropW(GetDlgItem(offer, IDC_OFFER_WEBSITE), kUnderlineFontProperty));
}

TEST_F(OfferWindowTest, PaintsThePictureTheHeadingAndTheParagraphsInTheirColumns)
{
    RedrawWindow(offer, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pixels pixels = CaptureClient(offer);
    ASSERT_GE(pixels.width, 580);

    // The picture lies unchanged at x 480..579, y 10..170.
    UniqueBitmap picture(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_OFFER_PICTURE), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    DIBSECTION section{};
    ASSERT_TRUE(GetObjectW(picture.get(), sizeof(section), &section));
    ASSERT_EQ(section.dsBm.bmWidth, 100);
    ASSERT_EQ(section.dsBm.bmHeight, 161);
    ASSERT_EQ(section.dsBm.bmBitsPixel, 24);
    int mismatches = 0;
    for (int y = 0; y < 161; ++y) {
        // Bottom-up rows of 24-bit pixels, each row padded to 4 bytes.
        const BYTE* row = static_cast<const BYTE*>(section.dsBm.bmBits) + (160 - y) * section.dsBm.bmWidthBytes;
        for (int x = 0; x < 100; ++x) {
            COLORREF expected = RGB(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
            if (pixels.At(480 + x, 10 + y) != expected)
                ++mismatches;
        }
    }
    EXPECT_EQ(mismatches, 0);

    // Black heading and first paragraph left of the picture, a clear gap before it.
    EXPECT_GT(pixels.Count(RECT{10, 10, 470, 30}, IsDark), 50) << "heading";
    EXPECT_GT(pixels.Count(RECT{10, 50, 470, 150}, IsDark), 500) << "paragraph 1";
    EXPECT_EQ(pixels.Count(RECT{470, 10, 480, 150}, IsDark), 0) << "nothing between the text and the picture";
    EXPECT_GT(pixels.Count(RECT{10, 180, 580, 220}, IsDark), 300) << "paragraph 2";
    EXPECT_GT(pixels.Count(RECT{10, 270, 580, 340}, IsDark), 300) << "paragraph 3";
    EXPECT_GT(pixels.Count(RECT{10, 350, 220, 370}, IsDark), 100) << "paragraph 4";
    // Every paragraph fits its box: none runs to its bottom edge, and the last ends before the link.
    EXPECT_EQ(pixels.Count(RECT{10, 140, 470, 150}, IsDark), 0) << "paragraph 1 cut off";
    EXPECT_EQ(pixels.Count(RECT{10, 214, 580, 220}, IsDark), 0) << "paragraph 2 cut off";
    EXPECT_EQ(pixels.Count(RECT{10, 334, 580, 340}, IsDark), 0) << "paragraph 3 cut off";
    EXPECT_EQ(pixels.Count(RECT{214, 350, 220, 370}, IsDark), 0) << "paragraph 4 runs into the link";
    // The links are blue on white, and nothing else is.
    EXPECT_GT(pixels.Count(RECT{10, 240, 310, 260}, IsBluish), 50);
    EXPECT_GT(pixels.Count(RECT{220, 350, 420, 370}, IsBluish), 50);
    EXPECT_EQ(pixels.Count(RECT{10, 10, 470, 230}, IsBluish), 0);
    EXPECT_EQ(pixels.At(305, 255), RGB(255, 255, 255));
}

TEST_F(OfferWindowTest, ClosingReleasesItsFontsAndALaterOpeningMakesANewWindow)
{
    auto linkFont = reinterpret_cast<HFONT>(SendDlgItemMessageW(offer, IDC_OFFER_PDF, WM_GETFONT, 0, 0));
    auto underline = static_cast<HFONT>(GetPropW(GetDlgItem(offer, IDC_OFFER_PDF), kUnderlineFontProperty));
    ASSERT_TRUE(IsLiveFont(linkFont));
    ASSERT_TRUE(IsLiveFont(underline));

    SendMessageW(offer, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(offer));
    EXPECT_EQ(OfferWindowHandle(), nullptr);
    EXPECT_FALSE(IsLiveFont(linkFont));
    EXPECT_FALSE(IsLiveFont(underline));
    EXPECT_TRUE(IsWindow(owner.window())) << "the program goes on";

    OpenOfferWindow(owner.window());
    ASSERT_NE(OfferWindowHandle(), nullptr);
    EXPECT_TRUE(IsLiveFont(reinterpret_cast<HFONT>(SendDlgItemMessageW(OfferWindowHandle(), IDC_OFFER_PDF, WM_GETFONT, 0, 0))));
    EXPECT_TRUE(AtItsPlace(OfferWindowHandle()));
}

TEST_F(OfferWindowTest, ClosesWithItsOwner)
{
    DestroyWindow(owner.window());
    owner.Forget();
    EXPECT_FALSE(IsWindow(offer));
    EXPECT_EQ(OfferWindowHandle(), nullptr);
}

// Dragged to a monitor at 200 %: it stays where the system puts it, its client area, links, link
// font and picture scaled, the picture drawn from its 200 % drawing.
TEST_F(OfferWindowTest, FollowsAMoveToAMonitorAtAnotherDpi)
{
    RECT client96{};
    GetClientRect(offer, &client96);
    RECT suggested{40, 20, 40 + 1200, 20 + 840};
    SendMessageW(offer, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    RECT bounds = Bounds(offer);
    EXPECT_EQ(bounds.left, 40);
    EXPECT_EQ(bounds.top, 20);
    RECT client{};
    GetClientRect(offer, &client);
    EXPECT_NEAR(client.right, client96.right * 2, 1);
    // At least: Wine draws the caption at the DPI of its display, not at the one this message names.
    EXPECT_GE(client.bottom, client96.bottom * 2);
    RECT link = ChildPlace(offer, GetDlgItem(offer, IDC_OFFER_PDF));
    RECT expected{20, 480, 620, 520};
    EXPECT_TRUE(EqualRect(&link, &expected)) << link.left << "," << link.top << " " << link.right << "," << link.bottom;
    EXPECT_EQ(FontDescription(reinterpret_cast<HFONT>(SendMessageW(GetDlgItem(offer, IDC_OFFER_WEBSITE), WM_GETFONT, 0, 0)))
                  .lfHeight,
              40);

    RedrawWindow(offer, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pixels pixels = CaptureClient(offer);
    // The cover at x 960..1159, y 20..341: its dark cloth, not the window's white, fills it.
    auto notWhite = [](COLORREF c) { return c != RGB(255, 255, 255); };
    EXPECT_EQ(pixels.Count(RECT{960, 20, 1160, 342}, notWhite), 200 * 322);
    EXPECT_EQ(pixels.Count(RECT{1160, 20, 1180, 342}, notWhite), 0) << "no larger than 200 x 322";
    EXPECT_GT(pixels.Count(RECT{20, 20, 940, 60}, IsDark), 200) << "the heading";
}

// Under high contrast the window, its text and its links take the system's colours: here white
// on black with cyan links, where the normal theme draws black on white with blue links.
TEST_F(OfferWindowTest, UnderHighContrastTakesTheSystemColours)
{
    int elements[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HOTLIGHT};
    COLORREF saved[] = {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_HOTLIGHT)};
    COLORREF contrast[] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 255, 255)};
    ASSERT_TRUE(SetSysColors(3, elements, contrast));
    OverrideHighContrastForTest(1);
    ScopeExit restore([&] {
        OverrideHighContrastForTest(-1);
        SetSysColors(3, elements, saved);
    });
    RedrawWindow(offer, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pixels pixels = CaptureClient(offer);
    auto white = [](COLORREF c) { return c == RGB(255, 255, 255); };
    auto cyan = [](COLORREF c) { return c == RGB(0, 255, 255); };
    EXPECT_GT(pixels.Count(RECT{10, 10, 470, 30}, white), 50) << "the heading";
    EXPECT_GT(pixels.Count(RECT{10, 50, 470, 150}, white), 500) << "paragraph 1";
    auto otherColour = [](COLORREF c) { return c != RGB(255, 255, 255) && c != RGB(0, 0, 0); };
    EXPECT_EQ(pixels.Count(RECT{10, 50, 470, 150}, otherColour), 0) << "only white on black";
    EXPECT_GT(pixels.Count(RECT{10, 240, 310, 260}, cyan), 50) << "the offer link";
    EXPECT_EQ(pixels.At(305, 255), RGB(0, 0, 0));
}
