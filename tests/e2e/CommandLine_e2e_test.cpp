// Command-line mode, driven from outside: Nomaro.exe FOLDER lower-cases the tree,
// says "Done!" under "Lower" and ends with exit code 1.
#include "DesktopDriver.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

namespace {
const wchar_t kSettingsKey[] = L"SOFTWARE\\Kestrith\\Nomaro";

bool SettingsKeyExists()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// Runs the program with the argument text and answers its one message box.
struct Outcome {
    MessageBoxInfo box;
    DWORD exitCode = STILL_ACTIVE;
};

Outcome RunAndAnswer(const std::wstring& arguments, const std::wstring& workingDirectory)
{
    Outcome outcome;
    ChildProgram program = StartNomaro(arguments, workingDirectory);
    EXPECT_TRUE(program.process.valid());
    outcome.box = WaitForMessageBox(program.processId, 60000);
    if (outcome.box.window)
        PressDialogButton(outcome.box.window, IDOK);
    outcome.exitCode = WaitForExit(program);
    KillIfRunning(program);
    return outcome;
}
} // namespace

TEST(CommandLine, LowerCasesTheTreeAndSaysDone)
{
    TempFolder root;
    TempFolder startedFrom;
    root.WriteFile(L"\u00c9T\u00c9.TXT", "summer");
    root.WriteFile(L"PHOTOS\\2012\\IMG_0001.JPG", "jpeg");
    root.WriteFile(L"Hidden.TXT");
    SetFileAttributesW((root / L"Hidden.TXT").c_str(), FILE_ATTRIBUTE_HIDDEN);
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    ASSERT_FALSE(SettingsKeyExists());

    Outcome outcome = RunAndAnswer(L"\"" + root.path() + L"\"", startedFrom.path());

    EXPECT_EQ(outcome.box.caption, L"Lower");
    EXPECT_EQ(outcome.box.text, L"Done!");
    EXPECT_EQ(outcome.exitCode, 1u);
    EXPECT_EQ(ListTree(root.path()),
              (std::vector<std::wstring>{L".\\hidden.txt", L".\\photos", L".\\photos\\2012", L".\\photos\\2012\\img_0001.jpg",
                                         L".\\\u00c9t\u00c9.txt"}));
    EXPECT_EQ(ReadFileBytes(root / L"\u00c9t\u00c9.txt"), "summer");
    // Command-line mode neither reads nor writes settings or history.
    EXPECT_FALSE(SettingsKeyExists());
    EXPECT_TRUE(ListNames(startedFrom.path()).empty());
}

TEST(CommandLine, QuotedArgumentEndingInABackslashWorks)
{
    TempFolder root;
    root.WriteFile(L"My Photos\\A.JPG");
    // "C:\...\My Photos\" arrives as C:\...\My Photos" and loses the quote.
    Outcome outcome = RunAndAnswer(L"\"" + (root / L"My Photos") + L"\\\"", root.path());
    EXPECT_EQ(outcome.box.text, L"Done!");
    EXPECT_EQ(outcome.exitCode, 1u);
    EXPECT_EQ(ListNames(root / L"My Photos"), (std::vector<std::wstring>{L"a.jpg"}));
}

TEST(CommandLine, MissingFolderChangesNothingAndSaysSo)
{
    TempFolder startedFrom;
    startedFrom.WriteFile(L"KEEP.TXT");
    std::wstring missing = startedFrom / L"No Such Folder";
    Outcome outcome = RunAndAnswer(L"\"" + missing + L"\"", startedFrom.path());
    EXPECT_EQ(outcome.exitCode, 2u);
    EXPECT_NE(outcome.box.text.find(missing), std::wstring::npos) << Narrow(outcome.box.text);
    EXPECT_NE(outcome.box.text, L"Done!");
    EXPECT_EQ(ListNames(startedFrom.path()), (std::vector<std::wstring>{L"KEEP.TXT"}));
}

TEST(CommandLine, RunningMainWindowIsOnlyBroughtForward)
{
    TempFolder root;
    TempFolder startedFrom;
    root.WriteFile(L"STAYS.TXT");
    ChildProgram gui = StartNomaro(L"", startedFrom.path());
    HWND mainWindow = WaitForWindow(gui.processId, L"Nomaro_MainForm", L"", 60000);
    ASSERT_NE(mainWindow, nullptr);

    ChildProgram second = StartNomaro(L"\"" + root.path() + L"\"", startedFrom.path());
    EXPECT_EQ(WaitForExit(second), 0u);
    EXPECT_EQ(ListNames(root.path()), (std::vector<std::wstring>{L"STAYS.TXT"}));

    PostMessageW(mainWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForExit(gui), 0u);
    KillIfRunning(gui);
    KillIfRunning(second);
}
