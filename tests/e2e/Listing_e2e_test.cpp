// Listing mode driven from outside: the real Nomaro.exe, its Listing and format radios, the real
// save dialog, the listing file compared byte for byte, and the report of a listing not written.
#include "ListingExpectation.h"
#include "DesktopDriver.h"
#include "TempFolder.h"
#include "UniqueHandle.h"
#include "resource.h"

#include <gtest/gtest.h>

using namespace expect;

namespace {
const wchar_t kSettingsKey[] = L"SOFTWARE\\Kestrith\\Nomaro";
// The file name field of the system's save dialog (cmb13 of dlgs.h) and its edit.
constexpr int kFileNameField = 0x47c;
constexpr int kFileTypeField = 0x470;

void SetText(HWND window, const std::wstring& text)
{
    SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000, nullptr);
}

// The system's own text for an error code, as a message names the reason.
std::wstring SystemText(DWORD error)
{
    wchar_t text[512] = L"";
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text, 512, nullptr);
    std::wstring reason(text, length);
    while (!reason.empty() && (reason.back() == L'\r' || reason.back() == L'\n' || reason.back() == L' '))
        reason.pop_back();
    return reason;
}

BOOL CALLBACK FindEditChild(HWND child, LPARAM found)
{
    if (WindowClassName(child) != L"Edit")
        return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

HWND FileNameEdit(HWND dialog)
{
    HWND field = GetDlgItem(dialog, kFileNameField);
    if (!field)
        return nullptr;
    if (WindowClassName(field) == L"Edit")
        return field;
    // A ComboBoxEx holds a combo box that holds the edit; all three carry the field's id.
    HWND edit = nullptr;
    EnumChildWindows(field, FindEditChild, reinterpret_cast<LPARAM>(&edit));
    return edit;
}

HWND WaitForSaveDialog(DWORD processId, HWND mainWindow)
{
    HWND dialog = nullptr;
    WaitUntil([&] {
        for (HWND window : TopLevelWindows(processId)) {
            if (window != mainWindow && WindowClassName(window) == L"#32770" && FileNameEdit(window)) {
                dialog = window;
                return true;
            }
        }
        return false;
    });
    return dialog;
}

class ListingEndToEnd : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey); }
    void TearDown() override
    {
        if (program.process) {
            PostMessageW(mainWindow, WM_CLOSE, 0, 0);
            EXPECT_NE(WaitForExit(program), STILL_ACTIVE);
            KillIfRunning(program);
        }
        RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    }

    // Starts the program, names the folder and picks Listing with the given format radio.
    void StartListing(const std::wstring& folder, int formatRadio)
    {
        program = StartNomaro(L"", startDirectory.path());
        ASSERT_TRUE(program.process.valid());
        mainWindow = WaitForWindow(program.processId, L"Nomaro_MainForm", L"", 60000);
        ASSERT_NE(mainWindow, nullptr);
        SetText(GetDlgItem(mainWindow, IDC_FOLDER), folder);
        ClickControl(mainWindow, IDC_LISTING);
        ClickControl(mainWindow, formatRadio);
        ClickControl(mainWindow, IDC_START);
        saveDialog = WaitForSaveDialog(program.processId, mainWindow);
        ASSERT_NE(saveDialog, nullptr) << "no save dialog after Start";
    }

    // Types the output file into the save dialog and confirms it.
    void SaveAs(const std::wstring& file)
    {
        SetText(FileNameEdit(saveDialog), file);
        PressDialogButton(saveDialog, IDOK);
    }

    void ExpectDone()
    {
        MessageBoxInfo done = WaitForMessageBox(program.processId, 60000);
        ASSERT_NE(done.window, nullptr) << "no closing message";
        EXPECT_EQ(done.caption, L"Lower");
        EXPECT_EQ(done.text, L"Done!");
        PressDialogButton(done.window, IDOK);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(done.window); }));
    }

    TempFolder startDirectory;
    TempFolder root;
    ChildProgram program;
    HWND mainWindow = nullptr;
    HWND saveDialog = nullptr;
};

} // namespace

TEST_F(ListingEndToEnd, PlainListingThroughTheSaveDialog)
{
    root.WriteFile(L"Photos\\2012\\img.jpg");
    root.WriteFile(L"Photos\\notes{1}.txt");
    root.WriteFile(L"b.txt");
    root.WriteFile(L"a.txt");
    TempFolder out;

    StartListing(root.path(), IDC_PLAIN_TEXT);
    EXPECT_EQ(WindowText(FileNameEdit(saveDialog)), L"FileList.txt");
    EXPECT_EQ(WindowText(GetDlgItem(saveDialog, kFileTypeField)), L"Text File (*.txt)");
    SaveAs(out / L"FileList.txt");
    ExpectDone();

    std::string lines = PlainFolder(0, "Photos") + PlainFolder(1, "2012") + PlainFile(2, "img.jpg") +
                        PlainFile(1, "notes{1}.txt");
    for (const std::wstring& name : InEnumerationOrder(root.path(), {L"a.txt", L"b.txt"}))
        lines += PlainFile(0, Narrow(name));
    EXPECT_EQ(ReadFileBytes(out / L"FileList.txt"), PlainListing(lines));
    EXPECT_EQ(ListNames(out.path()), (std::vector<std::wstring>{L"FileList.txt"}));
}

TEST_F(ListingEndToEnd, RtfListingInsideTheTreeReplacesTheOldOneInTheStoredFace)
{
    // The face comes from the stored settings; the old listing is replaced after the overwrite question.
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const wchar_t face[] = L"Courier New";
    RegSetValueExW(key, L"Font", 0, REG_SZ, reinterpret_cast<const BYTE*>(face), sizeof(face));
    RegCloseKey(key);
    root.WriteFile(L"Docs\\{draft}.doc");
    root.WriteFile(L"FileList.rtf", std::string(300, 'o'));

    StartListing(root.path(), IDC_RTF);
    EXPECT_EQ(WindowText(FileNameEdit(saveDialog)), L"FileList.rtf");
    EXPECT_EQ(WindowText(GetDlgItem(saveDialog, kFileTypeField)), L"Rich Text File (*.rtf)");
    SaveAs(root / L"FileList.rtf");
    MessageBoxInfo replace = WaitForMessageBox(program.processId, 20000);
    ASSERT_NE(replace.window, nullptr) << "no question before replacing the old listing";
    EXPECT_NE(replace.text.find(L"replace"), std::wstring::npos) << Narrow(replace.text);
    PressDialogButton(replace.window, IDYES);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(replace.window); }));
    ExpectDone();

    EXPECT_EQ(ReadFileBytes(root / L"FileList.rtf"),
              RtfListing(RtfFolder(0, "Docs") + RtfFile(1, "\\{draft\\}.doc") + RtfFile(0, "FileList.rtf"), "Courier New"));
}

TEST_F(ListingEndToEnd, CancelledSaveDialogWritesNothing)
{
    root.WriteFile(L"a.txt");
    StartListing(root.path(), IDC_PLAIN_TEXT);
    PressDialogButton(saveDialog, IDCANCEL);
    ExpectDone();
    EXPECT_EQ(ListNames(root.path()), (std::vector<std::wstring>{L"a.txt"}));
    // The start directory holds the program's own data files, never a listing.
    EXPECT_FALSE(PathExists(startDirectory / L"FileList.txt"));
}

TEST_F(ListingEndToEnd, ListingThatCannotBeWrittenIsReportedAndNotCalledDone)
{
    root.WriteFile(L"a.txt");
    TempFolder out;
    std::wstring file = out / L"FileList.txt";
    const std::string old = "the listing of yesterday\r\n";
    ASSERT_TRUE(WriteFileBytes(file, old));
    // Held open as an editor holds a document: others may read it but not write it.
    UniqueFile held(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.valid());

    StartListing(root.path(), IDC_PLAIN_TEXT);
    SaveAs(file);
    MessageBoxInfo replace = WaitForMessageBox(program.processId, 20000);
    ASSERT_NE(replace.window, nullptr) << "no question before replacing the old listing";
    PressDialogButton(replace.window, IDYES);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(replace.window); }));

    MessageBoxInfo warning = WaitForMessageBox(program.processId, 60000);
    ASSERT_NE(warning.window, nullptr) << "no report of the failure";
    EXPECT_EQ(warning.caption, L"Nomaro");
    EXPECT_EQ(warning.text, L"The file listing could not be written to\n" + file + L"\n\n" +
                                SystemText(ERROR_SHARING_VIOLATION) + L"\n\nNothing was written.");
    PressDialogButton(warning.window, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(warning.window); }));
    // Start comes back at the very end of the run: by then any "Done!" would have been shown.
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(mainWindow, IDC_START)) != FALSE; }, 20000));
    for (HWND window : TopLevelWindows(program.processId))
        EXPECT_NE(WindowClassName(window), L"#32770") << Narrow(WindowText(window)) << " shown after the warning";
    held.reset();
    EXPECT_EQ(ReadFileBytes(file), old);
}
