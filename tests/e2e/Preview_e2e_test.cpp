// File > Preview... in the real program: the plan is shown and nothing changes until its Start,
// which then does exactly what was shown and ends as Start ends.
#include "DesktopDriver.h"
#include "TempFolder.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace {
const wchar_t kSettingsKey[] = L"SOFTWARE\\Kestrith\\Nomaro";
} // namespace

TEST(PreviewE2e, PreviewChangesNothingAndItsStartDoesWhatItShowed)
{
    TempFolder root;
    TempFolder start;
    root.WriteFile(L"Photos\\IMG_0001.JPG", "jpeg");
    root.WriteFile(L"Notes.TXT", "text");
    root.WriteFile(L"done.txt", "done");
    std::vector<std::wstring> before = ListTree(root.path());
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"Folder", REG_SZ, root.path().c_str(),
                    static_cast<DWORD>((root.path().size() + 1) * sizeof(wchar_t)));
    RunningNomaro nomaro(start.path());
    ASSERT_NE(nomaro.main(), nullptr);
    ClickControl(nomaro.main(), IDC_LOWER);

    PostMessageW(nomaro.main(), WM_COMMAND, MAKEWPARAM(IDM_PREVIEW, 0), 0);
    HWND preview = WaitForWindow(nomaro.processId(), L"#32770", L"Preview");
    ASSERT_NE(preview, nullptr);
    HWND list = GetDlgItem(preview, IDC_PREVIEW_LIST);
    // Four entries, one of them already right; nothing changed while the plan is shown.
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 4);
    EXPECT_EQ(ListTree(root.path()), before);

    PressDialogButton(preview, IDOK);
    MessageBoxInfo done = WaitForCaptionedBox(nomaro.processId());
    EXPECT_EQ(done.caption, L"Lower");
    EXPECT_EQ(done.text, L"Done!");
    PressDialogButton(done.window, IDOK);
    EXPECT_EQ(ListTree(root.path()),
              (std::vector<std::wstring>{L".\\done.txt", L".\\notes.txt", L".\\photos", L".\\photos\\img_0001.jpg"}));
    EXPECT_EQ(ReadFileBytes(root / L"photos\\img_0001.jpg"), "jpeg");
    PostMessageW(nomaro.main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForExit(nomaro.program(), 30000), 0u);
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
}
