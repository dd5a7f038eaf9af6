// File > Undo in the real program: a Lower run from Start, then Undo from the menu puts every
// name back. The program keeps its journals in the user's local application data, which the
// end-to-end main points at a folder of the tests' own.
#include "DesktopDriver.h"
#include "TempFolder.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>

namespace {
const wchar_t kSettingsKey[] = L"SOFTWARE\\Kestrith\\Nomaro";

std::wstring JournalFolder()
{
    PWSTR localAppData = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &localAppData)))
        folder = std::wstring(localAppData) + L"\\Kestrith\\Nomaro";
    CoTaskMemFree(localAppData);
    return folder;
}

std::vector<std::wstring> Journals()
{
    std::vector<std::wstring> names;
    for (const std::wstring& name : ListNames(JournalFolder())) {
        if (name.size() > 8 && name.compare(0, 4, L"Run-") == 0 && name.compare(name.size() - 8, 8, L".journal") == 0)
            names.push_back(name);
    }
    return names;
}

class UndoE2e : public testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
        journalsBefore_ = Journals();
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey); }

    TempFolder root_;
    TempFolder start_;
    std::vector<std::wstring> journalsBefore_;
};

// Picks File > Undo with the keyboard, as a user without a mouse does: the menu bar, Down to
// open File, Down past Browse... and Preview... to Undo, Enter. A greyed item would not answer.
void ChooseUndoFromTheFileMenu(HWND main)
{
    PostMessageW(main, WM_SYSCOMMAND, SC_KEYMENU, 0);
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN})
        PostMessageW(main, WM_KEYDOWN, key, 1);
}

} // namespace

TEST_F(UndoE2e, LowerRunThenUndoFromTheMenuPutsEveryNameBack)
{
    root_.WriteFile(L"Photos\\Summer\\IMG_0001.JPG", "jpeg");
    root_.WriteFile(L"Notes.TXT", "text");
    std::vector<std::wstring> before = ListTree(root_.path());
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"Folder", REG_SZ, root_.path().c_str(),
                    static_cast<DWORD>((root_.path().size() + 1) * sizeof(wchar_t)));
    RunningNomaro nomaro(start_.path());
    ASSERT_NE(nomaro.main(), nullptr);

    ClickControl(nomaro.main(), IDC_LOWER);
    ClickControl(nomaro.main(), IDC_START);
    MessageBoxInfo done = WaitForCaptionedBox(nomaro.processId());
    ASSERT_EQ(done.text, L"Done!");
    PressDialogButton(done.window, IDOK);
    // A closing box could otherwise be taken for the question that follows.
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(done.window); }, 10000));
    ASSERT_EQ(ListTree(root_.path()), (std::vector<std::wstring>{L".\\notes.txt", L".\\photos", L".\\photos\\summer",
                                                                  L".\\photos\\summer\\img_0001.jpg"}));

    ChooseUndoFromTheFileMenu(nomaro.main());
    MessageBoxInfo question = WaitForCaptionedBox(nomaro.processId(), 20000);
    ASSERT_NE(question.window, nullptr) << "the Undo item did not answer";
    EXPECT_EQ(question.caption, L"Nomaro");
    EXPECT_NE(question.text.find(L"Entries to get their old names back: 4"), std::wstring::npos) << Narrow(question.text);
    PressDialogButton(question.window, IDYES);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question.window); }, 10000));
    MessageBoxInfo report = WaitForCaptionedBox(nomaro.processId());
    EXPECT_EQ(report.caption, L"Nomaro");
    EXPECT_EQ(report.text, L"Undo is done: 4 steps undone.");
    PressDialogButton(report.window, IDOK);

    EXPECT_EQ(ListTree(root_.path()), before);
    EXPECT_EQ(ReadFileBytes(root_ / L"Photos\\Summer\\IMG_0001.JPG"), "jpeg");
    // Undone, the run's journal is gone.
    for (const std::wstring& name : Journals())
        EXPECT_NE(std::find(journalsBefore_.begin(), journalsBefore_.end(), name), journalsBefore_.end()) << Narrow(name);
}
