// The Find and Replace dialog from its real template, run modally in the test process over an empty
// tree; a driver thread plays the system moving it to a monitor of another DPI.
#include "FindReplaceDialog.h"
#include "UiTestWindows.h"
#include "WaitUntil.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

RECT PlaceOf(HWND dialog, int id)
{
    RECT rect{};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

} // namespace

TEST(FindReplaceDialog, FollowsAMoveToAMonitorAtAnotherDpiWithItsCornerControlsInPlace)
{
    TestParent owner;
    ShowWindow(owner.window(), SW_SHOWNORMAL);
    auto collected = std::make_shared<RunPlan>();
    collected->mode = ModeFindReplace;
    FindReplaceChoices choices;
    RunPlan chosen;
    DWORD threadId = GetCurrentThreadId();
    std::thread driver([&] {
        HWND dialog = nullptr;
        if (!WaitUntil([&] { return (dialog = FindDialogOnThread(threadId, L"Find and Replace")) != nullptr; })) {
            ADD_FAILURE() << "the Find and Replace dialog did not appear";
            EndDialogLoop(threadId);
            return;
        }
        RECT outer{}, client{};
        GetWindowRect(dialog, &outer);
        GetClientRect(dialog, &client);
        RECT close = PlaceOf(dialog, IDCANCEL);
        RECT search = PlaceOf(dialog, IDC_REPLACE_SEARCH);
        RECT suggested{outer.left, outer.top, outer.left + (outer.right - outer.left) * 3 / 2,
                       outer.top + (outer.bottom - outer.top) * 3 / 2};
        SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));

        // A control that stays put is where the template put it, scaled; one that follows the
        // corner keeps its distance from the corner, scaled.
        RECT scaledSearch = PlaceOf(dialog, IDC_REPLACE_SEARCH);
        EXPECT_NEAR(scaledSearch.left, search.left * 3 / 2, 1);
        EXPECT_NEAR(scaledSearch.top, search.top * 3 / 2, 1);
        RECT grownClient{};
        GetClientRect(dialog, &grownClient);
        RECT scaledClose = PlaceOf(dialog, IDCANCEL);
        EXPECT_NEAR(grownClient.right - scaledClose.right, (client.right - close.right) * 3 / 2, 2);
        EXPECT_NEAR(grownClient.bottom - scaledClose.bottom, (client.bottom - close.bottom) * 3 / 2, 2);
        EXPECT_NEAR(scaledClose.right - scaledClose.left, (close.right - close.left) * 3 / 2, 1);
        // Nor can it be made smaller than its template's layout at the new scale.
        MINMAXINFO limits{};
        SendMessageW(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
        EXPECT_GT(limits.ptMinTrackSize.x, client.right * 3 / 2);
        EXPECT_GT(limits.ptMinTrackSize.y, client.bottom * 3 / 2);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    });
    EXPECT_FALSE(ShowFindReplaceDialog(owner.window(), collected, choices, nullptr, chosen));
    driver.join();
}
