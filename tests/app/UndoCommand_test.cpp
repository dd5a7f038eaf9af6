// File > Undo: the item names the newest run or is greyed, and the command asks with the counts,
// takes the run back and reports, and keeps and names a record it cannot read, all against a
// journal folder of the test's own.
#include "MainWindowFixture.h"

#include "EntryState.h"
#include "ExtendedPath.h"
#include "RunJournal.h"
#include "TempFolder.h"
#include "UndoCommand.h"

namespace {

struct ItemSeen {
    std::wstring text;
    bool greyed = false;
};

ItemSeen ReadUndoItem(HMENU menu)
{
    wchar_t text[512] = L"";
    GetMenuStringW(menu, IDM_UNDO, text, 512, MF_BYCOMMAND);
    return {text, (GetMenuState(menu, IDM_UNDO, MF_BYCOMMAND) & MF_GRAYED) != 0};
}

// The journal of a run that renamed one entry of root, begun and ended.
void JournalOneRename(const std::wstring& journals, OperationMode mode, const std::wstring& root,
                      const std::wstring& from, const std::wstring& to)
{
    RunPlan plan;
    plan.mode = mode;
    plan.root = root;
    RunStep step;
    step.entry = 0;
    step.path = root + L"\\" + from;
    step.newPath = root + L"\\" + to;
    EntryState state = ReadEntryState(step.path);
    plan.entries.resize(1);
    plan.entries[0].size = state.size;
    plan.entries[0].lastWrite = state.lastWrite;
    std::vector<RunStep> steps{step};
    RunJournalContext context;
    context.journalFolder = journals;
    RunJournal journal;
    ASSERT_TRUE(BeginRunJournal(plan, steps, context, journal));
    std::vector<StepResult> results(1);
    results[0].outcome = StepOutcome::Done;
    EndRunJournal(journal, plan, steps, results);
}

} // namespace

TEST_F(MainWindowTest, UndoItemNamesTheNewestRunAndIsGreyedWithoutOne)
{
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAIN_MENU));
    ASSERT_NE(menu, nullptr);
    HMENU file = GetSubMenu(menu, 0);
    // Where the keyboard finds it: the third item of the File menu.
    EXPECT_EQ(GetMenuItemID(file, 2), static_cast<UINT>(IDM_UNDO));
    TempFolder journals;

    UpdateUndoItem(file, journals.path());
    EXPECT_EQ(ReadUndoItem(file).text, L"Undo");
    EXPECT_TRUE(ReadUndoItem(file).greyed);

    JournalOneRename(journals.path(), ModeNumber, L"\\\\?\\C:\\Photos & Music", L"a.jpg", L"P0.jpg");
    UpdateUndoItem(file, journals.path());
    EXPECT_EQ(ReadUndoItem(file).text, L"Undo Number in C:\\Photos && Music");
    EXPECT_FALSE(ReadUndoItem(file).greyed);

    BatchBusy = true;
    UpdateUndoItem(file, journals.path());
    EXPECT_TRUE(ReadUndoItem(file).greyed);
    BatchBusy = false;
    DestroyMenu(menu);
}

TEST_F(MainWindowTest, UndoAsksWithTheCountsThenReportsAndOffersTheOlderRun)
{
    TempFolder root;
    TempFolder journals;
    root.WriteFile(L"a.txt", "a");
    std::wstring exact = ExtendedLengthPath(root.path());
    JournalOneRename(journals.path(), ModeLower, exact, L"OLD.TXT", L"old.txt");
    JournalOneRename(journals.path(), ModeUpper, exact, L"a.txt", L"A.TXT");
    MoveFileExW((root / L"a.txt").c_str(), (root / L"~t.tmp").c_str(), 0);
    MoveFileExW((root / L"~t.tmp").c_str(), (root / L"A.TXT").c_str(), 0);
    Open();

    std::vector<DialogWatcher::Seen> boxes;
    {
        DialogWatcher watcher([](HWND dialog, const DialogWatcher::Seen& seen) {
            PressDialogButton(dialog, seen.text.find(L'?') != std::wstring::npos ? IDNO : IDOK);
        });
        RunUndo(window_, journals.path());
        boxes = watcher.seen();
    }
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"Nomaro");
    EXPECT_EQ(boxes[0].text.substr(0, boxes[0].text.find(L',')), L"Undo Upper in " + root.path());
    EXPECT_NE(boxes[0].text.find(L"Entries to get their old names back: 1\n"), std::wstring::npos);
    EXPECT_EQ(ListNames(root.path()), (std::vector<std::wstring>{L"A.TXT"}));

    {
        DialogWatcher watcher([](HWND dialog, const DialogWatcher::Seen& seen) {
            PressDialogButton(dialog, seen.text.find(L'?') != std::wstring::npos ? IDYES : IDOK);
        });
        RunUndo(window_, journals.path());
        boxes = watcher.seen();
    }
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].caption, L"Nomaro");
    EXPECT_EQ(boxes[1].text, L"Undo is done: 1 step undone.");
    EXPECT_EQ(ListNames(root.path()), (std::vector<std::wstring>{L"a.txt"}));
    EXPECT_EQ(UndoMenuText(FindUndoOffer(journals.path())), L"Undo Lower in " + root.path());
}

TEST_F(MainWindowTest, UnreadableRecordIsSetAsideAndNamedWhenUndoOffersAnOlderRun)
{
    TempFolder root;
    TempFolder journals;
    std::wstring exact = ExtendedLengthPath(root.path());
    JournalOneRename(journals.path(), ModeLower, exact, L"OLD.TXT", L"old.txt");
    JournalOneRename(journals.path(), ModeUpper, exact, L"a.txt", L"A.TXT");
    std::wstring newer = FindUndoOffer(journals.path()).journalPath;
    std::string bytes = ReadFileBytes(newer);
    bytes[kJournalStateOffset + 1] ^= 0x01; // its header no longer checks
    ASSERT_TRUE(WriteFileBytes(newer, bytes));
    Open();

    std::vector<DialogWatcher::Seen> boxes;
    {
        DialogWatcher watcher([](HWND dialog, const DialogWatcher::Seen&) { PressDialogButton(dialog, IDNO); });
        RunUndo(window_, journals.path());
        boxes = watcher.seen();
    }
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text.substr(0, boxes[0].text.find(L',')), L"Undo Lower in " + root.path());
    EXPECT_NE(boxes[0].text.find(L"\n\nThe record of a newer run could not be read, so that run cannot be undone. "
                                 L"It is kept as\n" + newer + L".unreadable"),
              std::wstring::npos)
        << Narrow(boxes[0].text);
    EXPECT_FALSE(PathExists(newer));
    EXPECT_EQ(ReadFileBytes(newer + L".unreadable"), bytes);
}
