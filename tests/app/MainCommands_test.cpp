// The menu and button commands besides Start: the font dialog and the help file's path.
#include "MainWindowFixture.h"

#include "FileListing.h"
#include "MainCommands.h"
#include "TempFolder.h"
#include "Win32Text.h"

#include <commctrl.h>

namespace {
// Picks, in the font dialog, the first face that is not the current one, and confirms.
std::wstring PickOtherFace(HWND dialog, const std::wstring& current)
{
    HWND faces = GetDlgItem(dialog, 0x470); // cmb1, the face list
    int count = static_cast<int>(SendMessageW(faces, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t face[LF_FACESIZE * 2] = L"";
        SendMessageW(faces, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(face));
        if (current != face && face[0] != L'@') {
            SendMessageW(faces, CB_SETCURSEL, i, 0);
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(0x470, CBN_SELCHANGE), reinterpret_cast<LPARAM>(faces));
            return face;
        }
    }
    return std::wstring();
}

BOOL CALLBACK TakeFolderBrowserTitle(HWND child, LPARAM found)
{
    wchar_t childText[256] = L"";
    GetWindowTextW(child, childText, 256);
    if (wcscmp(childText, L"Select a Folder") == 0)
        wcscpy(reinterpret_cast<wchar_t*>(found), childText);
    return TRUE;
}
} // namespace

TEST_F(MainWindowTest, FontSelectTakesOnlyTheChosenFaceAndCancelChangesNothing)
{
    WriteDwordSetting(L"Function", 5);
    Open();
    ASSERT_EQ(ListingFontFace, L"Consolas");
    std::wstring picked;
    {
        DialogWatcher watcher([&](HWND dialog, const DialogWatcher::Seen& seen) {
            if (seen.isMessageBox)
                return;
            picked = PickOtherFace(dialog, L"Consolas");
            PressDialogButton(dialog, IDOK);
        });
        Click(IDC_FONT_SELECT);
    }
    ASSERT_FALSE(picked.empty());
    EXPECT_EQ(ListingFontFace, picked);
    EXPECT_EQ(Settings.Font, picked);
    EXPECT_EQ(Text(IDC_FONT_NAME), picked);

    {
        DialogWatcher watcher([&](HWND dialog, const DialogWatcher::Seen& seen) {
            if (!seen.isMessageBox) {
                PickOtherFace(dialog, picked);
                PressDialogButton(dialog, IDCANCEL);
            }
        });
        Click(IDC_FONT_SELECT);
    }
    EXPECT_EQ(ListingFontFace, picked);
    EXPECT_EQ(Text(IDC_FONT_NAME), picked);
    SaveWindowSettings(window_);
    std::wstring stored;
    ReadStringSetting(L"Font", &stored, kFontCapacity, L"");
    EXPECT_EQ(stored, picked);
}

TEST(MainCommands, HelpFileIsLookedForInTheShortFormOfTheCurrentDirectory)
{
    TempFolder root;
    root.MakeFolder(L"Long Folder Name With Spaces");
    std::wstring saved = GetCurrentDirectoryString();
    ASSERT_TRUE(SetCurrentDirectoryW((root / L"Long Folder Name With Spaces").c_str()));
    std::wstring path = HelpFilePath();
    SetCurrentDirectoryW(saved.c_str());
    wchar_t shortForm[1024] = L"";
    GetShortPathNameW((root / L"Long Folder Name With Spaces").c_str(), shortForm, 1024);
    EXPECT_EQ(path, std::wstring(shortForm) + L"\\nomaro.chm");
    EXPECT_EQ(path.find(L"Long Folder Name"), std::wstring::npos) << Narrow(path);
}

// The text of the item selected in the folder browser's tree, or empty.
static std::wstring SelectedTreeItem(HWND browser)
{
    HWND tree = FindWindowExW(browser, nullptr, L"SysTreeView32", nullptr);
    for (HWND child = GetWindow(browser, GW_CHILD); !tree && child; child = GetWindow(child, GW_HWNDNEXT))
        tree = FindWindowExW(child, nullptr, L"SysTreeView32", nullptr);
    if (!tree)
        return {};
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    wchar_t text[MAX_PATH] = L"";
    TVITEMW query{};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = MAX_PATH;
    if (!item || !SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query)))
        return {};
    return text;
}

TEST_F(MainWindowTest, BrowsePicksTheFolderTheUserSelects)
{
    TempFolder root;
    root.MakeFolder(L"Picked Folder");
    std::wstring picked = root / L"Picked Folder";
    Open();
    EnableWindow(Control(IDC_START), FALSE);
    std::wstring title;
    {
        DialogWatcher watcher([&](HWND dialog, const DialogWatcher::Seen& seen) {
            if (seen.isMessageBox)
                return;
            wchar_t text[256] = L"";
            // The title the command asks for is shown inside the browser.
            EnumChildWindows(dialog, TakeFolderBrowserTitle, reinterpret_cast<LPARAM>(text));
            title = text;
            // The browser fills its tree as it goes: OK before the selection arrives would pick
            // whatever was selected before, as a user who clicked too early would. A selection
            // asked for before the browser has set itself up is lost now and then, so it is asked
            // for again each second.
            for (int wait = 0; wait < 400 && SelectedTreeItem(dialog) != L"Picked Folder"; ++wait) {
                if (wait % 20 == 0)
                    SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(picked.c_str()));
                Sleep(50);
            }
            PressDialogButton(dialog, IDOK);
        });
        SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDM_BROWSE, 0), 0);
    }
    EXPECT_EQ(title, L"Select a Folder");
    EXPECT_EQ(ChosenFolder, picked);
    EXPECT_EQ(Settings.Folder, picked);
    EXPECT_EQ(Text(IDC_FOLDER), picked);
    EXPECT_TRUE(Enabled(IDC_START));
}

TEST_F(MainWindowTest, CancelledBrowseChangesNothing)
{
    WriteStringSetting(L"Folder", L"C:\\Kept");
    Open();
    {
        DialogWatcher watcher([&](HWND dialog, const DialogWatcher::Seen&) { PressDialogButton(dialog, IDCANCEL); });
        SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDM_BROWSE, 0), 0);
    }
    EXPECT_EQ(Text(IDC_FOLDER), L"C:\\Kept");
    EXPECT_EQ(Settings.Folder, L"C:\\Kept");
    EXPECT_EQ(ChosenFolder, L"");
}
