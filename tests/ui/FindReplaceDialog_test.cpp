// The Find and Replace dialog from its real template, run modally in the test process over an empty
// tree; a driver thread plays the system moving it to a monitor of another DPI.
#include "FindReplaceDialog.h"
#include "TempFolder.h"
#include "UiTestWindows.h"
#include "WaitUntil.h"
#include "WindowText.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <functional>

#include <map>
#include <thread>

namespace {

RECT PlaceOf(HWND dialog, int id)
{
    RECT rect{};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Whether the label shows its whole text: the lines it wraps to fit its height.
bool ShowsWhole(HWND label, const std::wstring& text)
{
    RECT room{};
    GetClientRect(label, &room);
    RECT needed = room;
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
    DrawTextW(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    return needed.bottom <= room.bottom && needed.right <= room.right;
}

// A plain CALLBACK function: 32-bit code calls a window enumerator with another convention than
// a lambda has.
BOOL CALLBACK TakeMessageBox(HWND window, LPARAM found)
{
    wchar_t name[16] = L"";
    GetClassNameW(window, name, 16);
    if (std::wstring(name) == L"#32770" && GetDlgItem(window, 0xFFFF) && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// Waits for a message box on the thread and answers it; its text, or empty when none came.
std::wstring AnswerMessageBox(DWORD threadId, int answer)
{
    HWND box = nullptr;
    if (!WaitUntil([&] { return EnumThreadWindows(threadId, TakeMessageBox, reinterpret_cast<LPARAM>(&box)), box != nullptr; },
                   5000))
        return std::wstring();
    std::wstring text = GetDlgItemTextString(box, 0xFFFF);
    PostMessageW(box, WM_COMMAND, answer, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    return text;
}

// Save... as the user gives it a name: the name dialog opened, the name typed, Save pressed.
void SavePresetAs(HWND dialog, DWORD threadId, const wchar_t* name)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_REPLACE_PRESET_SAVE, BN_CLICKED), 0);
    HWND ask = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (ask = FindDialogOnThread(threadId, L"Save Preset")) != nullptr; }));
    SetDlgItemTextW(ask, IDC_PRESET_NAME, name);
    PostMessageW(ask, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(ask); }));
}

// Presets kept as the registry keeps keys: a name matches whatever its letters' case, and keeps the
// case it was first given.
struct FoldedLess {
    bool operator()(const std::wstring& a, const std::wstring& b) const
    {
        return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_LESS_THAN;
    }
};

FindReplacePresets PresetsIn(std::map<std::wstring, FindReplacePreset, FoldedLess>& kept)
{
    FindReplacePresets presets;
    presets.names = [&kept] {
        std::vector<std::wstring> names;
        for (const auto& [name, preset] : kept)
            names.push_back(name);
        return names;
    };
    presets.load = [&kept](const std::wstring& name, FindReplacePreset& preset) {
        auto found = kept.find(name);
        if (found == kept.end())
            return false;
        preset = found->second;
        return true;
    };
    presets.save = [&kept](const std::wstring& name, const FindReplacePreset& preset) { return kept[name] = preset, true; };
    presets.remove = [&kept](const std::wstring& name) { return kept.erase(name) == 1; };
    return presets;
}

// Shows the dialog over an empty tree, with presets when given, and has drive work it from another
// thread as the user would; then closes it.
void DriveDialog(const FindReplacePresets& presets, const std::function<void(HWND dialog, DWORD threadId)>& drive)
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
        drive(dialog, threadId);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    });
    EXPECT_FALSE(ShowFindReplaceDialog(owner.window(), collected, choices, nullptr, chosen, presets));
    driver.join();
}

} // namespace

TEST(FindReplaceDialog, SavingUnderANameTakenInOtherLettersAsksFirstAndABlankNameIsRefused)
{
    std::map<std::wstring, FindReplacePreset, FoldedLess> kept;
    kept[L"Trip"].rule.replacement = L"Trip {n:001}";
    DriveDialog(PresetsIn(kept), [&](HWND dialog, DWORD threadId) {
        SetDlgItemTextW(dialog, IDC_REPLACE_TEXT, L"Other {n}");
        // " trip " is the preset Trip: the user is asked before it is replaced, and No keeps it.
        SavePresetAs(dialog, threadId, L" trip ");
        EXPECT_EQ(AnswerMessageBox(threadId, IDNO), L"A preset of that name exists. Replace it?");
        EXPECT_EQ(kept.at(L"Trip").rule.replacement, L"Trip {n:001}");
        SavePresetAs(dialog, threadId, L"TRIP");
        EXPECT_EQ(AnswerMessageBox(threadId, IDYES), L"A preset of that name exists. Replace it?");
        EXPECT_TRUE(WaitUntil([&] { return kept.at(L"Trip").rule.replacement == L"Other {n}"; }));
        EXPECT_EQ(kept.size(), 1u);
        EXPECT_EQ(GetDlgItemTextString(dialog, IDC_REPLACE_PRESET), L"Trip");

        // Blanks alone are no name: refused as an empty one, and the name is asked again.
        SavePresetAs(dialog, threadId, L"   ");
        EXPECT_EQ(AnswerMessageBox(threadId, IDOK), L"A preset's name cannot be empty or hold a backslash.");
        HWND again = nullptr;
        EXPECT_TRUE(WaitUntil([&] { return (again = FindDialogOnThread(threadId, L"Save Preset")) != nullptr; }));
        PostMessageW(again, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(again); }));
        EXPECT_EQ(kept.size(), 1u);
    });
}

TEST(FindReplaceDialog, SaysWhyAReplacementCannotBeUsedInALineItShowsWhole)
{
    DriveDialog({}, [](HWND dialog, DWORD) {
        HWND replacement = GetDlgItem(dialog, IDC_REPLACE_TEXT);
        HWND said = GetDlgItem(dialog, IDC_REPLACE_TEXT_ERROR);
        // One of each reason the replacement can be refused for.
        for (const wchar_t* typed : {L"{folders}", L"{Taken}", L"{taken:}", L"{name:x}", L"{n:abc}", L"{n:1,0}",
                                     L"{n:1234567890123456789}", L"{track:0a}", L"{name", L"name}"}) {
            SendMessageW(replacement, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed));
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_REPLACE_TEXT, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(replacement));
            std::wstring text;
            EXPECT_TRUE(WaitUntil([&] { return !(text = GetDlgItemTextString(dialog, IDC_REPLACE_TEXT_ERROR)).empty(); })) << Narrow(typed);
            EXPECT_TRUE(ShowsWhole(said, text)) << Narrow(text);
            SendMessageW(said, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        }
    });
}

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

TEST(FindReplaceDialog, APresetChosenPutsBackEverythingItHoldsAndDeleteForgetsIt)
{
    TestParent owner;
    ShowWindow(owner.window(), SW_SHOWNORMAL);
    auto collected = std::make_shared<RunPlan>();
    collected->mode = ModeFindReplace;
    FindReplaceChoices choices;
    RunPlan chosen;
    // The app keeps presets in the registry (tested with the settings); here they are kept in memory.
    std::map<std::wstring, FindReplacePreset, FoldedLess> kept;
    FindReplacePreset trip;
    trip.rule.replacement = L"Trip {n:001}";
    trip.rule.modifiedForTaken = true;
    trip.rule.scope = ReplaceScope::WholeName;
    trip.selection.folders = false;
    trip.ordering = ReplaceOrdering{ReplaceOrder::DateTaken, true, true};
    kept[L"Trip"] = trip;
    FindReplacePresets presets = PresetsIn(kept);
    DWORD threadId = GetCurrentThreadId();
    std::thread driver([&] {
        HWND dialog = nullptr;
        if (!WaitUntil([&] { return (dialog = FindDialogOnThread(threadId, L"Find and Replace")) != nullptr; })) {
            ADD_FAILURE() << "the Find and Replace dialog did not appear";
            EndDialogLoop(threadId);
            return;
        }
        HWND list = GetDlgItem(dialog, IDC_REPLACE_PRESET);
        EXPECT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 1);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_REPLACE_PRESET_DELETE)));
        SendMessageW(list, CB_SETCURSEL, 0, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_REPLACE_PRESET, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
        wchar_t text[64] = L"";
        GetDlgItemTextW(dialog, IDC_REPLACE_TEXT, text, 64);
        EXPECT_STREQ(text, L"Trip {n:001}");
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_REPLACE_TAKEN_FALLBACK), BST_CHECKED);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_REPLACE_FOLDERS), BST_UNCHECKED);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_REPLACE_DESCENDING), BST_CHECKED);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_REPLACE_RESTART), BST_CHECKED);
        EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_REPLACE_ORDER, CB_GETCURSEL, 0, 0), 1);
        EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_REPLACE_APPLY_TO, CB_GETCURSEL, 0, 0), 2);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_REPLACE_PRESET_DELETE)));
        // Delete asks first: No keeps the preset.
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_REPLACE_PRESET_DELETE, BN_CLICKED), 0);
        EXPECT_EQ(AnswerMessageBox(threadId, IDNO), L"Delete the preset \"Trip\"?");
        EXPECT_EQ(kept.size(), 1u);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_REPLACE_PRESET_DELETE, BN_CLICKED), 0);
        EXPECT_EQ(AnswerMessageBox(threadId, IDYES), L"Delete the preset \"Trip\"?");
        EXPECT_TRUE(WaitUntil([&] { return SendMessageW(list, CB_GETCOUNT, 0, 0) == 0; }));
        EXPECT_TRUE(kept.empty());
        // What was put back is what the dialog keeps when it closes.
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    });
    EXPECT_FALSE(ShowFindReplaceDialog(owner.window(), collected, choices, nullptr, chosen, presets));
    driver.join();
    EXPECT_EQ(choices.ordering, trip.ordering);
    EXPECT_TRUE(choices.options.modifiedForTaken);
    EXPECT_EQ(choices.replacements, std::vector<std::wstring>{L"Trip {n:001}"});
}
