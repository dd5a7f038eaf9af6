// The menu and button commands besides Start: the font dialog and the help file's path.
#include "MainWindowFixture.h"

#include "FileListing.h"
#include "MainCommands.h"
#include "TempFolder.h"
#include "Win32Text.h"

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
            PressButton(dialog, IDOK);
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
                PressButton(dialog, IDCANCEL);
            }
        });
        Click(IDC_FONT_SELECT);
    }
    EXPECT_EQ(ListingFontFace, picked);
    EXPECT_EQ(Text(IDC_FONT_NAME), picked);
    SaveSettings(window_);
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
