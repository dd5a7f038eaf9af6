// The Preview dialog from its real template, run modally in the test process over a plan made
// by hand; a driver thread reads the list and plays the user with posted keys and clicks.
#include "PreviewDialog.h"

#include "HandPlan.h"
#include "UiTestWindows.h"
#include "WaitUntil.h"
#include "resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <thread>

namespace {

// Keys as the keyboard sends them; the dialog's own loop translates them (Alt+letter included).
void PostKey(HWND window, WPARAM key, bool alt = false)
{
    UINT down = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
    UINT up = alt ? WM_SYSKEYUP : WM_KEYUP;
    LPARAM context = alt ? 0x20000000 : 0;
    PostMessageW(window, down, key, 1 | context);
    PostMessageW(window, up, key, 0xC0000001 | context);
}

HWND FocusOf(DWORD threadId)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(threadId, &info);
    return info.hwndFocus;
}

int RowCount(HWND dialog)
{
    return ListView_GetItemCount(GetDlgItem(dialog, IDC_PREVIEW_LIST));
}

std::vector<std::wstring> RowTexts(HWND dialog, int row)
{
    std::vector<std::wstring> texts;
    for (int column = 0; column < 4; ++column) {
        wchar_t text[512] = L"";
        ListView_GetItemText(GetDlgItem(dialog, IDC_PREVIEW_LIST), row, column, text, 512);
        texts.push_back(text);
    }
    return texts;
}

RECT ChildRect(HWND dialog, int id)
{
    RECT rect{};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void Entry(RunPlan& plan, const wchar_t* path, const wchar_t* newName, PlanStatus status,
           PlanReason reason = PlanReason::None)
{
    PlannedEntry& entry = AddPlannedEntry(plan, path);
    plan.SetNewName(entry, newName);
    entry.status = status;
    entry.reason = reason;
}

// Shows the plan over the owner; drive() runs on another thread with the dialog and the test
// thread's id, and must end the dialog.
template <typename Drive>
bool RunPreview(HWND owner, const RunPlan& plan, Drive drive)
{
    DWORD threadId = GetCurrentThreadId();
    std::thread driver([&] {
        HWND dialog = nullptr;
        if (!WaitUntil([&] { return (dialog = FindDialogOnThread(threadId, L"Preview")) != nullptr; }, 60000)) {
            ADD_FAILURE() << "the Preview dialog did not appear";
            EndDialogLoop(threadId);
            return;
        }
        drive(dialog, threadId);
        if (IsWindow(dialog)) {
            ADD_FAILURE() << "the Preview dialog is still open";
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    });
    bool started = ShowPreviewDialog(owner, plan);
    driver.join();
    return started;
}

class PreviewDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(owner.window(), nullptr);
        ShowWindow(owner.window(), SW_SHOWNORMAL);
        plan.mode = ModeNumber;
        Entry(plan, L".\\Photos", L"photos", PlanStatus::WillChange);
        Entry(plan, L".\\Photos\\IMG.JPG", L"img.jpg", PlanStatus::WillChange);
        Entry(plan, L".\\Photos\\done.jpg", L"done.jpg", PlanStatus::AlreadyRight);
        Entry(plan, L".\\Photos\\CON.JPG", L"con.jpg", PlanStatus::CannotChange, PlanReason::NameReserved);
        Entry(plan, L".\\notes.txt", L"notes.txt", PlanStatus::AlreadyRight);
        Entry(plan, L".\\R.txt", L"R.txt", PlanStatus::WillChange);
        plan.entries[5].clearReadOnly = true;
    }
    TestParent owner;
    RunPlan plan;
};
} // namespace

TEST_F(PreviewDialogTest, ShowsEveryEntryAndItsSummaryFiltersByKeyboardAndEscapeCloses)
{
    bool started = RunPreview(owner.window(), plan, [&](HWND dialog, DWORD threadId) {
        HWND list = GetDlgItem(dialog, IDC_PREVIEW_LIST);
        EXPECT_EQ(GetWindowLongW(list, GWL_STYLE) & (LVS_OWNERDATA | LVS_REPORT), LVS_OWNERDATA | LVS_REPORT);
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner.window());
        EXPECT_EQ(FocusOf(threadId), list);
        wchar_t summary[256] = L"";
        GetDlgItemTextW(dialog, IDC_PREVIEW_SUMMARY, summary, 256);
        // Only the counts a numbering run without tags can have.
        EXPECT_STREQ(summary, L"Entries: 6, to rename: 2, read-only marks to clear: 1, already right: 2, cannot change: 1");

        // In Name order, as Explorer orders names, a folder before its contents.
        ASSERT_EQ(RowCount(dialog), 6);
        EXPECT_EQ(RowTexts(dialog, 0), (std::vector<std::wstring>{L".", L"notes.txt", L"notes.txt", L"Already right"}));
        EXPECT_EQ(RowTexts(dialog, 1), (std::vector<std::wstring>{L".", L"Photos", L"photos", L"Renamed"}));
        EXPECT_EQ(RowTexts(dialog, 4), (std::vector<std::wstring>{L".\\Photos", L"IMG.JPG", L"img.jpg", L"Renamed"}));
        EXPECT_EQ(RowTexts(dialog, 3)[3], L"Already right");
        // Every text fits its column.
        for (int row = 0; row < 6; ++row) {
            std::vector<std::wstring> texts = RowTexts(dialog, row);
            for (int column = 0; column < 4; ++column)
                EXPECT_LT(ListView_GetStringWidth(list, texts[column].c_str()), ListView_GetColumnWidth(list, column))
                    << row << " " << column;
        }

        // Alt+O ticks "Show only the entries that change or cannot change"; a selected row meant
        // another entry before.
        ListView_SetItemState(list, 2, LVIS_SELECTED, LVIS_SELECTED);
        PostKey(list, 'O', true);
        ASSERT_TRUE(WaitUntil([&] { return RowCount(dialog) == 4; })) << RowCount(dialog);
        EXPECT_EQ(ListView_GetSelectedCount(list), 0u);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_PREVIEW_CHANGES_ONLY), BST_CHECKED);
        EXPECT_EQ(RowTexts(dialog, 1),
                  (std::vector<std::wstring>{L".\\Photos", L"CON.JPG", L"CON.JPG",
                                             L"Cannot change (con.jpg: reserved for a device)"}));
        EXPECT_EQ(RowTexts(dialog, 3), (std::vector<std::wstring>{L".", L"R.txt", L"R.txt", L"Read-only mark cleared"}));
        PostKey(list, 'O', true);
        ASSERT_TRUE(WaitUntil([&] { return RowCount(dialog) == 6; }));

        // Tab goes from the list through the check box and Start to Close.
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
        for (int id : {IDC_PREVIEW_CHANGES_ONLY, IDOK, IDCANCEL, IDC_PREVIEW_LIST}) {
            PostKey(FocusOf(threadId), VK_TAB);
            EXPECT_TRUE(WaitUntil([&] { return FocusOf(threadId) == GetDlgItem(dialog, id); })) << id;
        }
        PostKey(list, VK_ESCAPE);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    });
    EXPECT_FALSE(started);
    EXPECT_TRUE(IsWindowEnabled(owner.window()));
}

TEST_F(PreviewDialogTest, EnterChoosesStart)
{
    EXPECT_TRUE(RunPreview(owner.window(), plan, [&](HWND dialog, DWORD) {
        PostKey(GetDlgItem(dialog, IDC_PREVIEW_LIST), VK_RETURN);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    }));
}

TEST_F(PreviewDialogTest, ResizingMovesTheButtonsWithTheCornerAndStopsAtAMinimum)
{
    RunPreview(owner.window(), plan, [&](HWND dialog, DWORD) {
        RECT window{}, client{};
        GetWindowRect(dialog, &window);
        GetClientRect(dialog, &client);
        RECT close = ChildRect(dialog, IDCANCEL);
        RECT list = ChildRect(dialog, IDC_PREVIEW_LIST);
        SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left + 200, window.bottom - window.top + 100,
                     SWP_NOMOVE | SWP_NOZORDER);
        RECT grownClient{};
        GetClientRect(dialog, &grownClient);
        ASSERT_EQ(grownClient.right, client.right + 200);
        RECT grownClose = ChildRect(dialog, IDCANCEL);
        RECT grownList = ChildRect(dialog, IDC_PREVIEW_LIST);
        EXPECT_EQ(grownClose.left, close.left + 200);
        EXPECT_EQ(grownClose.top, close.top + 100);
        EXPECT_EQ(grownList.right - grownList.left, list.right - list.left + 200);
        EXPECT_EQ(grownList.bottom - grownList.top, list.bottom - list.top + 100);

        // Above the system's own smallest window, below the dialog's.
        SetWindowPos(dialog, nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER);
        RECT small{};
        GetWindowRect(dialog, &small);
        EXPECT_GT(small.right - small.left, 200);
        EXPECT_GT(small.bottom - small.top, 100);
        RECT check = ChildRect(dialog, IDC_PREVIEW_CHANGES_ONLY);
        RECT start = ChildRect(dialog, IDOK);
        RECT shrunkList = ChildRect(dialog, IDC_PREVIEW_LIST);
        EXPECT_GT(check.right - check.left, 0);
        EXPECT_LE(check.right, start.left);
        EXPECT_GT(shrunkList.bottom - shrunkList.top, 0);
        EXPECT_LE(shrunkList.bottom, start.top);
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    });
}
