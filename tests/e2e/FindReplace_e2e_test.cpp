// File > Find and Replace... in the real program: Ctrl+H opens the dialog, typing updates the list,
// Rename does what the list shows, File > Undo takes it back, and the texts are remembered.
#include "DesktopDriver.h"
#include "SampleMedia.h"
#include "TempFolder.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>

namespace {
const wchar_t kSettingsKey[] = L"SOFTWARE\\Kestrith\\Nomaro";

std::vector<std::vector<std::wstring>> Rows(DWORD processId, HWND list)
{
    std::vector<std::vector<std::wstring>> rows(static_cast<size_t>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)));
    for (size_t row = 0; row < rows.size(); ++row) {
        for (int column = 0; column < 4; ++column)
            rows[row].push_back(ListViewItemText(processId, list, static_cast<int>(row), column));
    }
    return rows;
}

// The rows sorted: the tests below that are not about the order.
std::vector<std::vector<std::wstring>> SortedRows(DWORD processId, HWND list)
{
    std::vector<std::vector<std::wstring>> rows = Rows(processId, list);
    std::sort(rows.begin(), rows.end());
    return rows;
}

// Puts text in Replace with as the user would: the old text selected, then typed over.
void TypeReplacement(HWND dialog, const std::wstring& text)
{
    HWND box = GetDlgItem(dialog, IDC_REPLACE_TEXT);
    SendMessageW(box, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    TypeText(dialog, text);
}

void WaitAndPressOk(DWORD processId, const std::wstring& expected)
{
    MessageBoxInfo box = WaitForCaptionedBox(processId);
    EXPECT_NE(box.text.find(expected), std::wstring::npos) << Narrow(box.text);
    PressDialogButton(box.window, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box.window); }, 10000));
}

class FindReplaceE2e : public testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey); }

    TempFolder root_;
    TempFolder start_;
};
} // namespace

TEST_F(FindReplaceE2e, TypedTextUpdatesTheListRenameDoesWhatItShowsAndUndoTakesItBack)
{
    root_.WriteFile(L"IMG_0001.jpg", "one");
    root_.WriteFile(L"IMG_0002.jpg", "two");
    root_.WriteFile(L"Holiday 2026 - 0002.jpg", "kept");
    root_.WriteFile(L"notes.txt", "notes");
    root_.WriteFile(L"Sub\\IMG_0003.JPG", "three");
    // A folder renamed with a file in it: the file is renamed under the folder's new name.
    root_.WriteFile(L"IMG_Album\\IMG_0004.jpg", "four");
    root_.WriteFile(L"IMG_desktop.ini", "hidden");
    SetFileAttributesW((root_ / L"IMG_desktop.ini").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    std::vector<std::wstring> before = ListTree(root_.path());
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"Folder", REG_SZ, root_.path().c_str(),
                    static_cast<DWORD>((root_.path().size() + 1) * sizeof(wchar_t)));
    RunningNomaro nomaro(start_.path());
    ASSERT_NE(nomaro.main(), nullptr);

    PressKey(nomaro.main(), 'H', {VK_CONTROL});
    HWND dialog = WaitForWindow(nomaro.processId(), L"#32770", L"Find and Replace");
    ASSERT_NE(dialog, nullptr) << "Ctrl+H opened no dialog";
    HWND list = GetDlgItem(dialog, IDC_REPLACE_LIST);
    HWND rename = GetDlgItem(dialog, IDOK);
    // Nothing typed yet: nothing to rename, and Rename stands idle.
    ASSERT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(dialog, IDC_REPLACE_SUMMARY)).find(L"to rename: 0") != std::wstring::npos; }));
    EXPECT_FALSE(IsWindowEnabled(rename));

    // The focus is in Search for; Tab leads on to Replace with.
    TypeText(dialog, L"img_");
    PressKey(dialog, VK_TAB);
    TypeText(dialog, L"Holiday 2026 - ");
    const std::wstring summary = L"Entries: 8, to rename: 4, already right: 3, cannot change: 1";
    ASSERT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(dialog, IDC_REPLACE_SUMMARY)) == summary; }))
        << Narrow(WindowText(GetDlgItem(dialog, IDC_REPLACE_SUMMARY)));
    // Only the entries that change or cannot; the hidden system file is left out and keeps its name.
    EXPECT_EQ(SortedRows(nomaro.processId(), list),
              (std::vector<std::vector<std::wstring>>{
                  {L".", L"IMG_0001.jpg", L"Holiday 2026 - 0001.jpg", L"Renamed"},
                  {L".", L"IMG_0002.jpg", L"IMG_0002.jpg", L"Cannot change (Holiday 2026 - 0002.jpg: held by another entry)"},
                  {L".", L"IMG_Album", L"Holiday 2026 - Album", L"Renamed"},
                  {L".\\IMG_Album", L"IMG_0004.jpg", L"Holiday 2026 - 0004.jpg", L"Renamed"},
                  {L".\\Sub", L"IMG_0003.JPG", L"Holiday 2026 - 0003.JPG", L"Renamed"},
              }));
    EXPECT_EQ(ListTree(root_.path()), before);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(rename) != FALSE; }));
    // A size of the user's own, to be found again next time.
    RECT bounds{};
    GetWindowRect(dialog, &bounds);
    SIZE resized{bounds.right - bounds.left + 120, bounds.bottom - bounds.top + 60};
    SetWindowPos(dialog, nullptr, 0, 0, resized.cx, resized.cy, SWP_NOMOVE | SWP_NOZORDER);

    // Enter is Rename. The entry that kept its name is reported, then "Done!".
    PressKey(dialog, VK_RETURN);
    MessageBoxInfo kept = WaitForCaptionedBox(nomaro.processId());
    EXPECT_NE(kept.text.find(L"IMG_0002.jpg"), std::wstring::npos) << Narrow(kept.text);
    PressDialogButton(kept.window, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(kept.window); }, 10000));
    MessageBoxInfo done = WaitForCaptionedBox(nomaro.processId());
    EXPECT_EQ(done.caption, L"Lower");
    EXPECT_EQ(done.text, L"Done!");
    PressDialogButton(done.window, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(done.window); }, 10000));
    EXPECT_EQ(ListTree(root_.path()),
              (std::vector<std::wstring>{L".\\Holiday 2026 - 0001.jpg", L".\\Holiday 2026 - 0002.jpg", L".\\Holiday 2026 - Album",
                                         L".\\Holiday 2026 - Album\\Holiday 2026 - 0004.jpg", L".\\IMG_0002.jpg",
                                         L".\\IMG_desktop.ini", L".\\Sub", L".\\Sub\\Holiday 2026 - 0003.JPG",
                                         L".\\notes.txt"}));
    EXPECT_EQ(ReadFileBytes(root_ / L"Holiday 2026 - 0002.jpg"), "kept");

    // File > Undo (the menu itself is driven in the Undo end-to-end test).
    PostMenuCommand(nomaro.main(), IDM_UNDO);
    MessageBoxInfo question = WaitForCaptionedBox(nomaro.processId(), 20000);
    ASSERT_NE(question.window, nullptr) << "the Undo item did not answer";
    EXPECT_EQ(question.text.rfind(L"Undo Find and Replace in " + root_.path(), 0), 0u) << Narrow(question.text);
    PressDialogButton(question.window, IDYES);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question.window); }, 10000));
    MessageBoxInfo report = WaitForCaptionedBox(nomaro.processId());
    EXPECT_EQ(report.text, L"Undo is done: 4 steps undone.");
    PressDialogButton(report.window, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(report.window); }, 10000));
    EXPECT_EQ(ListTree(root_.path()), before);

    // Opened again: the size it was given, the texts typed in the drop-downs, and Close changes nothing.
    PressKey(nomaro.main(), 'H', {VK_CONTROL});
    HWND again = WaitForWindow(nomaro.processId(), L"#32770", L"Find and Replace");
    ASSERT_NE(again, nullptr);
    GetWindowRect(again, &bounds);
    EXPECT_NEAR(bounds.right - bounds.left, resized.cx, 2);
    EXPECT_NEAR(bounds.bottom - bounds.top, resized.cy, 2);
    for (const auto& [id, typed] : {std::pair{IDC_REPLACE_SEARCH, L"img_"}, {IDC_REPLACE_TEXT, L"Holiday 2026 - "}}) {
        wchar_t text[64] = L"";
        EXPECT_EQ(SendDlgItemMessageW(again, id, CB_GETCOUNT, 0, 0), 1);
        SendDlgItemMessageW(again, id, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text, typed);
    }
    PressKey(again, VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(again); }, 10000));
    EXPECT_EQ(ListTree(root_.path()), before);
}

TEST_F(FindReplaceE2e, TokensNamePhotosByWhenAndWithWhatTheyWereTakenInThatOrder)
{
    const std::string first = Photo("2026:07:13 18:02:40", "Canon EOS R6");
    const std::string second = Photo("2026:07:14 09:31:05", "Canon EOS R6");
    const std::string song = Song(L"\u00c4d\u00e8le", L"Song Title", "3/12");
    // Named against the order they were taken in, and "IMG 2" before "IMG 10" as Explorer has it.
    root_.WriteFile(L"Trip\\IMG 10.jpg", first);
    root_.WriteFile(L"Trip\\IMG 2.jpg", second);
    root_.WriteFile(L"Music\\track03.mp3", song);
    std::vector<std::wstring> before = ListTree(root_.path());
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"Folder", REG_SZ, root_.path().c_str(),
                    static_cast<DWORD>((root_.path().size() + 1) * sizeof(wchar_t)));
    RunningNomaro nomaro(start_.path());
    ASSERT_NE(nomaro.main(), nullptr);
    PressKey(nomaro.main(), 'H', {VK_CONTROL});
    HWND dialog = WaitForWindow(nomaro.processId(), L"#32770", L"Find and Replace");
    ASSERT_NE(dialog, nullptr);
    HWND list = GetDlgItem(dialog, IDC_REPLACE_LIST);
    HWND summary = GetDlgItem(dialog, IDC_REPLACE_SUMMARY);
    ClickControl(dialog, IDC_REPLACE_FOLDERS);

    // Search for stays empty: the replacement takes the whole name without its extension. Alt+W
    // leads to Replace with.
    PressKey(dialog, 'W', {VK_MENU});
    TypeText(dialog, L"{track:00} - {artist} - {title}");
    ASSERT_TRUE(WaitUntil([&] { return WindowText(summary) == L"Entries: 3, to rename: 1, already right: 0, cannot change: 2"; }))
        << Narrow(WindowText(summary));
    EXPECT_EQ(Rows(nomaro.processId(), list),
              (std::vector<std::vector<std::wstring>>{
                  {L".\\Music", L"track03.mp3", L"03 - \u00c4d\u00e8le - Song Title.mp3", L"Renamed"},
                  {L".\\Trip", L"IMG 2.jpg", L"IMG 2.jpg", L"Cannot change (no track number)"},
                  {L".\\Trip", L"IMG 10.jpg", L"IMG 10.jpg", L"Cannot change (no track number)"},
              }));

    // A token it does not know: said under Replace with, an empty list, no Rename.
    TypeText(dialog, L"{nope}");
    ASSERT_TRUE(WaitUntil([&] { return !WindowText(GetDlgItem(dialog, IDC_REPLACE_TEXT_ERROR)).empty(); }));
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));

    // Numbered in the order they were taken.
    HWND order = GetDlgItem(dialog, IDC_REPLACE_ORDER);
    SendMessageW(order, CB_SETCURSEL, 1, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_REPLACE_ORDER, CBN_SELCHANGE), reinterpret_cast<LPARAM>(order));
    TypeReplacement(dialog, L"{taken:yyyy-MM-dd HH.mm.ss} {camera} {n:01}");
    ASSERT_TRUE(WaitUntil([&] { return WindowText(summary) == L"Entries: 3, to rename: 2, already right: 0, cannot change: 1"; }))
        << Narrow(WindowText(summary));
    EXPECT_TRUE(WindowText(GetDlgItem(dialog, IDC_REPLACE_TEXT_ERROR)).empty());
    EXPECT_EQ(Rows(nomaro.processId(), list),
              (std::vector<std::vector<std::wstring>>{
                  {L".\\Trip", L"IMG 10.jpg", L"2026-07-13 18.02.40 Canon EOS R6 01.jpg", L"Renamed"},
                  {L".\\Trip", L"IMG 2.jpg", L"2026-07-14 09.31.05 Canon EOS R6 02.jpg", L"Renamed"},
                  {L".\\Music", L"track03.mp3", L"track03.mp3", L"Cannot change (no date taken)"},
              }));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE; }));
    PressKey(dialog, VK_RETURN);
    WaitAndPressOk(nomaro.processId(), L"track03.mp3");
    WaitAndPressOk(nomaro.processId(), L"Done!");
    EXPECT_EQ(ListTree(root_.path()),
              (std::vector<std::wstring>{L".\\Music", L".\\Music\\track03.mp3", L".\\Trip",
                                         L".\\Trip\\2026-07-13 18.02.40 Canon EOS R6 01.jpg",
                                         L".\\Trip\\2026-07-14 09.31.05 Canon EOS R6 02.jpg"}));

    // Undo gives the photos their names back, byte for byte.
    PostMenuCommand(nomaro.main(), IDM_UNDO);
    MessageBoxInfo question = WaitForCaptionedBox(nomaro.processId(), 20000);
    ASSERT_NE(question.window, nullptr);
    PressDialogButton(question.window, IDYES);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question.window); }, 10000));
    WaitAndPressOk(nomaro.processId(), L"Undo is done: 2 steps undone.");
    EXPECT_EQ(ListTree(root_.path()), before);
    EXPECT_EQ(ReadFileBytes(root_ / L"Trip\\IMG 10.jpg"), first);
    EXPECT_EQ(ReadFileBytes(root_ / L"Trip\\IMG 2.jpg"), second);
    EXPECT_EQ(ReadFileBytes(root_ / L"Music\\track03.mp3"), song);
}
