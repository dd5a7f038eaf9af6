// The progress bar of a run: every position taken, the bar drawn at most five times a second.
#include "ProgressFrames.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

WNDPROC BarProcedure = nullptr;
int Paints = 0;

LRESULT CALLBACK CountingBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (message == WM_PAINT)
        ++Paints;
    return CallWindowProcW(BarProcedure, bar, message, wParam, lParam);
}

struct Bar {
    HWND parent = nullptr;
    HWND bar = nullptr;
    explicit Bar(bool shown)
    {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 40, nullptr, nullptr, nullptr, nullptr);
        bar = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | (shown ? WS_VISIBLE : 0), 0, 0, 160, 20, parent,
                              nullptr, nullptr, nullptr);
        UpdateWindow(parent);
        BarProcedure = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingBarProc)));
        Paints = 0;
    }
    ~Bar() { DestroyWindow(parent); }
};

} // namespace

TEST(ProgressFrames, EveryPositionIsTakenButTheBarIsDrawnFiveTimesASecondAndAtTheEnd)
{
    Bar shown(true);
    {
        ProgressFrames frames(shown.bar);
        for (int percent = 1; percent <= 100; ++percent) {
            SendMessageW(shown.bar, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
            frames.Moved();
        }
        EXPECT_EQ(SendMessageW(shown.bar, PBM_GETPOS, 0, 0), 100);
        EXPECT_LT(Paints, 50);
    }
    int beforeEnd = Paints;
    EXPECT_TRUE(IsWindowVisible(shown.bar));
    EXPECT_GT(Paints, 0);
    // Drawing is on again: a new position is drawn as usual.
    SendMessageW(shown.bar, PBM_SETPOS, 50, 0);
    UpdateWindow(shown.bar);
    EXPECT_GT(Paints, beforeEnd);

    Bar hidden(false);
    {
        ProgressFrames frames(hidden.bar);
        frames.Moved();
    }
    EXPECT_FALSE(IsWindowVisible(hidden.bar));
}
