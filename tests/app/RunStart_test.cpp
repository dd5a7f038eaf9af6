// The Start command in the main window: its checks and messages, the run rules, and what
// arrives during a run (a second Start, a mode radio, a drop, a close).
#include "MainWindowFixture.h"

#include "ModePanel.h"
#include "RunReport.h"
#include "RunStart.h"
#include "StartRequest.h"
#include "TempFolder.h"
#include "Win32Text.h"

#include <commctrl.h>

namespace {
constexpr wchar_t kNoFolder[] = L"No folder has been selected. Please select a folder by dragging a folder onto the image "
                                L"below or by using File->Browse...";
constexpr wchar_t kDigitsOnly[] = L"Please use numbers only for the starting number.";
constexpr wchar_t kFoldersOnly[] = L"You can only use folders for this function.";
constexpr wchar_t kFavoritesOrderKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Favorites";

// The controls a run freezes; Listing, its group, the drop panel and the menu stay live.
constexpr int kRunSet[] = {IDC_UPPER,        IDC_LOWER,        IDC_READ_ONLY,          IDC_NUMBER, IDC_NAME_LABEL,
                           IDC_NAME,         IDC_EXT_LABEL,    IDC_EXT,                IDC_FOLDER_LABEL,
                           IDC_FOLDER,       IDC_START_NUMBER, IDC_START_NUMBER_LABEL, IDC_START,  IDC_FILL_TAGS,
                           IDC_FILL_TAGS_LABEL, IDC_FAVORITES};

struct Box {
    std::wstring caption;
    std::wstring text;
};

class RunStartTest : public MainWindowTest {
protected:
    // Presses Start with a watcher that answers every message box with OK and cancels
    // any other dialog; gives the message boxes seen.
    std::vector<Box> PressStart(DialogWatcher::Answer extra = nullptr)
    {
        std::vector<Box> boxes;
        {
            DialogWatcher watcher([&](HWND dialog, const DialogWatcher::Seen& seen) {
                if (extra)
                    extra(dialog, seen);
                PressDialogButton(dialog, seen.isMessageBox ? IDOK : IDCANCEL);
            });
            SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED), 0);
            for (const DialogWatcher::Seen& seen : watcher.seen()) {
                if (seen.isMessageBox)
                    boxes.push_back({seen.caption, seen.text});
            }
        }
        return boxes;
    }
    void UseFolder(const std::wstring& path) { SetWindowTextW(Control(IDC_FOLDER), path.c_str()); }
    TempFolder root_;
};

std::wstring Caption(const std::vector<Box>& boxes, size_t i)
{
    return i < boxes.size() ? boxes[i].caption : L"<none>";
}
std::wstring Message(const std::vector<Box>& boxes, size_t i)
{
    return i < boxes.size() ? boxes[i].text : L"<none>";
}

std::wstring StoredTag()
{
    wchar_t text[256] = L"";
    DWORD size = sizeof(text);
    RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, L"Tag", RRF_RT_REG_SZ, nullptr, text, &size);
    return text;
}

// The file name and the filter the save dialog offers (explorer or old style).
struct SaveDialogSeen {
    std::wstring fileName;
    std::wstring filter;
};
SaveDialogSeen ReadSaveDialog(HWND dialog)
{
    auto text = [](HWND control) {
        wchar_t buffer[1024] = L"";
        if (control)
            SendMessageW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer));
        return std::wstring(buffer);
    };
    SaveDialogSeen seen;
    HWND name = GetDlgItem(dialog, 0x47C); // cmb13, the explorer-style file name box
    if (!name)
        name = GetDlgItem(dialog, 0x480); // edt1
    seen.fileName = text(name);
    seen.filter = text(GetDlgItem(dialog, 0x470)); // cmb1, the file type box
    return seen;
}
} // namespace

TEST(StartChecks, IsAllDigits)
{
    EXPECT_FALSE(IsAllDigits(nullptr));
    EXPECT_TRUE(IsAllDigits(L""));
    EXPECT_TRUE(IsAllDigits(L"0123456789"));
    EXPECT_FALSE(IsAllDigits(L"12a"));
    EXPECT_FALSE(IsAllDigits(L" 12"));
    EXPECT_FALSE(IsAllDigits(L"-1"));
    EXPECT_FALSE(IsAllDigits(L"\u0661")); // an Arabic-Indic digit is not one of 0-9
}

TEST(StartChecks, StartNumberAndWidthFromTheText)
{
    struct Case {
        const wchar_t* text;
        std::uint32_t number;
        std::int32_t width;
    };
    const Case cases[] = {{L"000000", 0, 6}, {L"007", 7, 3}, {L"", 0, 0}, {L"65535", 65535, 5},
                          // 32 bits: a start above 65535 starts there, not at its value modulo 65536
                          {L"65536", 65536, 5}, {L"070000", 70000, 6}, {L"999999999", 999999999, 9}};
    for (const Case& c : cases) {
        StartNumberText parsed = ParseStartNumber(c.text);
        EXPECT_EQ(parsed.startNumber, c.number) << Narrow(c.text);
        EXPECT_EQ(parsed.numberWidth, c.width) << Narrow(c.text);
    }
}

TEST_F(RunStartTest, NoFolderIsRefusedAfterTheSettingsWereSaved)
{
    Open();
    SetWindowTextW(Control(IDC_NAME), L"Saved first");
    std::vector<Box> boxes = PressStart();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(Caption(boxes, 0), L"Nomaro");
    EXPECT_EQ(Message(boxes, 0), kNoFolder);
    EXPECT_EQ(StoredTag(), L"Saved first");
    EXPECT_TRUE(Enabled(IDC_START));
}

TEST_F(RunStartTest, StartNumberWithALetterIsRefusedAndNothingIsRenamed)
{
    root_.WriteFile(L"A.JPG");
    Open();
    Click(IDC_NUMBER);
    UseFolder(root_.path());
    SetWindowTextW(Control(IDC_NAME), L"Pic");
    SetWindowTextW(Control(IDC_START_NUMBER), L"12x"); // pasted past ES_NUMBER
    std::vector<Box> boxes = PressStart();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(Caption(boxes, 0), L"Nomaro");
    EXPECT_EQ(Message(boxes, 0), kDigitsOnly);
    EXPECT_EQ(ListNames(root_.path()), (std::vector<std::wstring>{L"A.JPG"}));
    EXPECT_EQ(StoredTag(), L"Pic");
    EXPECT_TRUE(Enabled(IDC_START));
}

TEST_F(RunStartTest, NameWithAPathCharacterIsRefusedAndNothingMoves)
{
    root_.WriteFile(L"2012\\A.JPG");
    Open();
    Click(IDC_NUMBER);
    UseFolder(root_.path());
    for (const wchar_t* name : {L"..\\Trip", L"Trip/", L"C:Trip", L"Tr|p", L"Trip?"}) {
        SetWindowTextW(Control(IDC_NAME), name);
        SetWindowTextW(Control(IDC_START_NUMBER), L"1");
        std::vector<Box> boxes = PressStart();
        ASSERT_EQ(boxes.size(), 1u) << Narrow(name);
        EXPECT_EQ(Caption(boxes, 0), L"Nomaro");
        EXPECT_EQ(Message(boxes, 0), L"A file name can't contain any of the following characters:\n\\ / : * ? \" < > |");
        EXPECT_EQ(ListTree(root_.path()), (std::vector<std::wstring>{L".\\2012", L".\\2012\\A.JPG"}));
        EXPECT_TRUE(Enabled(IDC_START));
    }
}

TEST_F(RunStartTest, NumberRunStartsAboveSixtyFiveThousandWhereTheTextSays)
{
    root_.WriteFile(L"a.jpg");
    Open();
    Click(IDC_NUMBER);
    UseFolder(root_.path());
    SetWindowTextW(Control(IDC_NAME), L"Pic");
    SetWindowTextW(Control(IDC_EXT), L"jpg");
    SetWindowTextW(Control(IDC_START_NUMBER), L"070000");
    std::vector<Box> boxes = PressStart();
    EXPECT_EQ(Message(boxes, boxes.size() - 1), L"Done!");
    EXPECT_EQ(ListNames(root_.path()), (std::vector<std::wstring>{L"Pic070000.jpg"}));
}

TEST_F(RunStartTest, FileIsRefusedInNumberAndListingModesButDoneFollows)
{
    root_.WriteFile(L"ONE.TXT");
    Open();
    for (int radio : {IDC_NUMBER, IDC_LISTING}) {
        SCOPED_TRACE(radio);
        Click(radio);
        UseFolder(root_ / L"ONE.TXT");
        std::vector<Box> boxes = PressStart();
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(Caption(boxes, 0), L"Nomaro");
        EXPECT_EQ(Message(boxes, 0), kFoldersOnly);
        EXPECT_EQ(Caption(boxes, 1), L"Lower");
        EXPECT_EQ(Message(boxes, 1), L"Done!");
        EXPECT_TRUE(Enabled(IDC_START));
    }
    EXPECT_EQ(ListNames(root_.path()), (std::vector<std::wstring>{L"ONE.TXT"}));
}

TEST_F(RunStartTest, LowerRunChangesTheTreeAndGivesThePanelBack)
{
    root_.WriteFile(L"SUB\\FILE.TXT");
    Open();
    UseFolder(root_.path());
    bool startEnabledAtDone = true, lowerEnabledAtDone = false, progressShownAtDone = true;
    std::vector<Box> boxes = PressStart([&](HWND, const DialogWatcher::Seen&) {
        startEnabledAtDone = Enabled(IDC_START);
        lowerEnabledAtDone = Enabled(IDC_LOWER);
        progressShownAtDone = (GetWindowLongW(Control(IDC_PROGRESS), GWL_STYLE) & WS_VISIBLE) != 0;
    });
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(Caption(boxes, 0), L"Lower");
    EXPECT_EQ(Message(boxes, 0), L"Done!");
    EXPECT_EQ(ListTree(root_.path()), (std::vector<std::wstring>{L".\\sub", L".\\sub\\file.txt"}));
    // Start comes back only after the closing message.
    EXPECT_FALSE(startEnabledAtDone);
    EXPECT_TRUE(lowerEnabledAtDone);
    EXPECT_FALSE(progressShownAtDone);
    EXPECT_TRUE(Enabled(IDC_START));
    EXPECT_FALSE(GetWindowLongW(Control(IDC_PROGRESS), GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(BatchBusy);
    EXPECT_EQ(ChosenFolder, root_.path());
}

TEST_F(RunStartTest, FileInUseIsToldToWaitForTheRestartBeforeDone)
{
    root_.WriteFile(L"OPEN.TXT");
    UniqueFile lock(CreateFileW((root_ / L"OPEN.TXT").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock.valid());
    Open();
    UseFolder(root_.path());
    std::vector<Box> boxes = PressStart();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(Caption(boxes, 0), L"Reboot Required");
    EXPECT_EQ(Message(boxes, 0), L"Some files are in use and will not be renamed until the next reboot.");
    EXPECT_EQ(Message(boxes, 1), L"Done!");
}

TEST_F(RunStartTest, MissingFolderIsReportedNotDone)
{
    Open();
    std::wstring missing = root_ / L"gone";
    UseFolder(missing);
    std::vector<Box> boxes = PressStart();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(Caption(boxes, 0), L"Nomaro");
    EXPECT_NE(Message(boxes, 0).find(missing), std::wstring::npos);
    EXPECT_TRUE(Enabled(IDC_START));
}

TEST_F(RunStartTest, ListingSaveDialogOffersTheFormatsNameAndFreezesTheRunSet)
{
    Open();
    Click(IDC_LISTING);
    UseFolder(root_.path());
    for (bool plain : {true, false}) {
        SCOPED_TRACE(plain);
        Click(plain ? IDC_PLAIN_TEXT : IDC_RTF);
        SaveDialogSeen offered;
        std::vector<int> enabledInRun;
        bool listingLive = false, progressShown = false, busy = true;
        int saveDialogs = 0;
        std::vector<Box> boxes = PressStart([&](HWND dialog, const DialogWatcher::Seen& seen) {
            if (seen.isMessageBox)
                return;
            ++saveDialogs;
            offered = ReadSaveDialog(dialog);
            for (int id : kRunSet) {
                if (Enabled(id))
                    enabledInRun.push_back(id);
            }
            listingLive = Enabled(IDC_LISTING) && Enabled(IDC_RTF) && Enabled(IDC_FONT_SELECT) && Enabled(IDC_DROP_PANEL);
            progressShown = (GetWindowLongW(Control(IDC_PROGRESS), GWL_STYLE) & WS_VISIBLE) != 0;
            busy = BatchBusy;
            // A Start that arrives now must not open a second dialog.
            PostMessageW(window_, WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED), 0);
        });
        EXPECT_EQ(saveDialogs, 1);
        EXPECT_EQ(offered.fileName, plain ? L"FileList.txt" : L"FileList.rtf");
        EXPECT_EQ(offered.filter, plain ? L"Text File (*.txt)" : L"Rich Text File (*.rtf)");
        EXPECT_TRUE(enabledInRun.empty()) << enabledInRun.size();
        EXPECT_TRUE(listingLive);
        EXPECT_TRUE(progressShown);
        EXPECT_FALSE(busy); // no batch run: the hint stays
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(Message(boxes, 0), L"Done!");
        DrainQuit();
        EXPECT_TRUE(Enabled(IDC_START));
    }
}

TEST_F(RunStartTest, WhatArrivesDuringARunLeavesItAlone)
{
    root_.WriteFile(L"A\\B.TXT");
    TempFolder other;
    other.WriteFile(L"OTHER.TXT");
    Open();
    Click(IDC_FAVORITES);
    UseFolder(root_.path());
    // Queued before Start, handled by the run's own pumping: a Listing click, a second
    // Start and a drop of another folder.
    PostMessageW(Control(IDC_LISTING), BM_CLICK, 0, 0);
    PostMessageW(window_, WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED), 0);
    PostMessageW(Control(IDC_DROP_PANEL), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({other.path()})), 0);
    bool startEnabledAtDone = true;
    std::vector<Box> boxes = PressStart([&](HWND, const DialogWatcher::Seen&) { startEnabledAtDone = Enabled(IDC_START); });
    // The run kept its mode: the Favorites ending, one run only, its own folder.
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(Message(boxes, 0), L"Done! You should now restart Internet Explorer.");
    EXPECT_FALSE(startEnabledAtDone);
    EXPECT_EQ(ListTree(root_.path()), (std::vector<std::wstring>{L".\\a", L".\\a\\b.txt"}));
    EXPECT_EQ(ListNames(other.path()), (std::vector<std::wstring>{L"OTHER.TXT"}));
    // What arrived took effect for the next run.
    EXPECT_EQ(CurrentMode, ModeListing);
    EXPECT_TRUE(Checked(IDC_LISTING));
    EXPECT_EQ(ChosenFolder, other.path());
    EXPECT_EQ(Text(IDC_FOLDER), other.path());
    EXPECT_TRUE(Enabled(IDC_START));
}

TEST_F(RunStartTest, FavoritesRunDeletesTheMenuOrderEvenWhenNothingChanged)
{
    Open();
    Click(IDC_FAVORITES);
    // Where the shell would not take the test's own Favorites folder, Start is never pressed.
    ASSERT_EQ(Text(IDC_FOLDER), favorites_.path());
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kFavoritesOrderKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    BYTE order[4] = {1, 2, 3, 4};
    RegSetValueExW(key, L"Order", 0, REG_BINARY, order, sizeof(order));
    RegSetValueExW(key, L"Other", 0, REG_BINARY, order, sizeof(order));
    std::vector<Box> boxes = PressStart();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(Caption(boxes, 0), L"Lower");
    EXPECT_EQ(Message(boxes, 0), L"Done! You should now restart Internet Explorer.");
    EXPECT_EQ(RegQueryValueExW(key, L"Order", nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegQueryValueExW(key, L"Other", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    RegDeleteValueW(key, L"Other");
    RegCloseKey(key);
}

TEST_F(RunStartTest, CloseDuringARunWaitsForItsEndThenEndsTheProgram)
{
    for (int i = 0; i < 20; ++i)
        root_.WriteFile(L"DIR" + std::to_wstring(i) + L"\\FILE.TXT");
    // The run saves the history at its end; the close must not free it before.
    TempFolder startDirectory;
    std::wstring historyFile = startDirectory / L"Nomaro.stdb";
    History = LoadHistory(startDirectory.path());
    std::wstring indexName = L"20260101-000000.idx";
    Append(History->records, L"C:\\Numbered", 3, &indexName);
    Open();
    UseFolder(root_.path());
    PostMessageW(window_, WM_CLOSE, 0, 0);
    bool windowAliveAtEnd = false;
    std::vector<Box> boxes;
    {
        DialogWatcher watcher([&](HWND dialog, const DialogWatcher::Seen&) { PressDialogButton(dialog, IDOK); });
        SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED), 0);
        windowAliveAtEnd = IsWindow(window_) != FALSE;
        for (const DialogWatcher::Seen& seen : watcher.seen())
            boxes.push_back({seen.caption, seen.text});
    }
    // The whole run happened, then the window went and the quit message was posted.
    EXPECT_EQ(ListTree(root_.path()).size(), 40u);
    for (const std::wstring& path : ListTree(root_.path()))
        EXPECT_EQ(path.find_first_of(L"DIRFLETX"), std::wstring::npos) << Narrow(path);
    EXPECT_FALSE(windowAliveAtEnd);
    EXPECT_TRUE(boxes.empty()) << Narrow(Message(boxes, 0));
    EXPECT_TRUE(DrainQuit());
    EXPECT_FALSE(ReadFileBytes(historyFile).empty()) << "the history was saved before it was released";
}

TEST_F(RunStartTest, ExitFromTheMenuDuringARunIsDeferredToo)
{
    root_.WriteFile(L"X.TXT");
    TempFolder startDirectory;
    std::wstring historyFile = startDirectory / L"Nomaro.stdb";
    History = LoadHistory(startDirectory.path());
    Append(History->records, L"C:\\Numbered", 1);
    Open();
    UseFolder(root_.path());
    PostMessageW(window_, WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), 0);
    {
        DialogWatcher watcher([&](HWND dialog, const DialogWatcher::Seen&) { PressDialogButton(dialog, IDOK); });
        SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED), 0);
    }
    EXPECT_EQ(ListNames(root_.path()), (std::vector<std::wstring>{L"x.txt"}));
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_TRUE(DrainQuit());
    EXPECT_FALSE(ReadFileBytes(historyFile).empty()) << "the history was saved before it was released";
}

TEST(RunReport, FailuresMessageCountsAllAndNamesTheFirstFew)
{
    RenameFailures failures;
    failures.count = 7;
    for (int i = 0; i < 5; ++i)
        failures.firstPaths.push_back(L".\\f" + std::to_wstring(i));
    std::wstring text = FailedRenamesMessage(failures);
    EXPECT_NE(text.find(L"7 items could not be renamed"), std::wstring::npos);
    EXPECT_NE(text.find(L".\\f4"), std::wstring::npos);
    EXPECT_NE(text.find(L"2 more"), std::wstring::npos);
}

TEST(RunReport, EntriesChangedInPartAndRefusalsOfAFullDiskSayWhatHappenedAndWhy)
{
    RenameFailures inPart;
    inPart.count = 1;
    inPart.firstPaths.push_back(L".\\aligned.mp3 renamed to Song1.mp3 (tag not written: Disk full.)");
    EXPECT_EQ(FailedRenamesMessage(RenameFailures(), inPart),
              L"1 item was changed only in part:\n\n.\\aligned.mp3 renamed to Song1.mp3 (tag not written: Disk full.)");
    const std::wstring disk = SystemErrorText(ERROR_DISK_FULL);
    std::wstring journal = BatchResultMessage(BatchResult::JournalFailed, L"C:\\Photos", ERROR_DISK_FULL,
                                              L"\\\\?\\C:\\Users\\me\\AppData\\Local\\Kestrith\\Nomaro");
    EXPECT_EQ(journal, L"Nomaro could not write the record it needs to undo this run, so nothing was changed.\n\n"
                       L"Undo records are written to\nC:\\Users\\me\\AppData\\Local\\Kestrith\\Nomaro\n\n" + disk);
    std::wstring memory = MemoryNotSavedMessage(ERROR_DISK_FULL, L"C:\\Program Files\\Nomaro");
    EXPECT_NE(memory.find(L"C:\\Program Files\\Nomaro\n\n" + disk), std::wstring::npos);
}
