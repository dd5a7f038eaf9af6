// A label one line high whose text is wider than itself: drawn on one line, its last letter
// inside, instead of wrapped onto a second line that the label cuts off.
#include "OneLineLabel.h"
#include "UiTestWindows.h"

#include <gtest/gtest.h>

TEST(OneLineLabel, ATooWideTextStaysOnOneLineWithItsLastLetterInside)
{
    TestParent parent;
    UniqueFont font(CreateFontW(14, 0, 0, 0, 0, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
    // As wide as the main window's label, and as the text is not: it wraps after "for".
    HWND label = MakeStatic(parent.window(), 100, L"Name for files: ", 10, 10, 80, 20, font.get());
    KeepLabelOnOneLine(label);
    ShowWindow(parent.window(), SW_SHOWNOACTIVATE);
    RedrawWindow(label, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);

    // Also once it has been disabled and enabled again, which a static answers by drawing at once.
    for (bool toggled : {false, true}) {
        SCOPED_TRACE(toggled ? "after EnableWindow" : "painted");
        if (toggled) {
            EnableWindow(label, FALSE);
            EnableWindow(label, TRUE);
        }
        Pixels pixels = CaptureClient(label);
        COLORREF background = pixels.At(pixels.width - 1, pixels.height - 1);
        auto ink = [&](COLORREF colour) { return colour != background; };
        EXPECT_GT(pixels.Count(RECT{0, 0, 40, 15}, ink), 20) << "the first word";
        EXPECT_GT(pixels.Count(RECT{pixels.width - 8, 0, pixels.width, 15}, ink), 0) << "the colon at the right edge";
        EXPECT_EQ(pixels.Count(RECT{0, 15, pixels.width, pixels.height}, ink), 0) << "a second line";
    }
}
