// A whole run over real trees: what is collected, in which order, and what changes on disk.
#include "AsciiCase.h"
#include "BatchRun.h"
#include "CollectEntries.h"
#include "ExtendedPath.h"
#include "JournalStore.h"
#include "ScratchRegistry.h"
#include "TempFolder.h"
#include "UndoOffer.h"
#include "UndoRun.h"
#include "Win32Text.h"

#include <gtest/gtest.h>

#include <new>
#include <thread>

// Runs keep their undo journals in the user's local application data: here a folder of the run's own.
const testing::Environment* const kScratchRegistry = RedirectRegistryForTheRun({{HKEY_CURRENT_USER, {}}});

namespace {
class BatchRunTest : public testing::Test {
protected:
    // Numbers a.jpg and b.jpg and stops after the first move, as a crash would stop the run.
    void CutANumberingRunShort();
    TempFolder root_;
};

RunOptions Options(OperationMode mode, const std::wstring& extensions = L"", const std::wstring& name = L"P")
{
    RunOptions options;
    options.mode = mode;
    options.extensions = extensions;
    options.nameText = name;
    options.numberWidth = 1;
    options.journalFolder = UserJournalFolder();
    return options;
}

RunOutcome RunOver(const std::wstring& folder, const RunOptions& options = Options(ModeLower))
{
    return BatchRun(folder, options, RunHooks());
}

// True when the run completed with nothing refused, failed or waiting for a restart.
bool RanClean(const RunOutcome& outcome)
{
    return outcome.result == BatchResult::Completed && outcome.failures.count == 0 && !outcome.RestartNeeded();
}

std::vector<std::wstring> PathsOf(const CollectedTree& tree)
{
    std::vector<std::wstring> paths;
    for (const PlannedEntry& entry : tree.plan.entries)
        paths.push_back(tree.plan.Path(entry));
    return paths;
}

CollectedTree Collected(OperationMode mode, const std::wstring& folder)
{
    RunOptions options;
    options.mode = mode;
    return CollectEntries(ExtendedLengthPath(folder), options, nullptr, nullptr);
}
} // namespace

TEST_F(BatchRunTest, LowerCasesEveryNameOfTheTreeIncludingHiddenAndSystemEntries)
{
    root_.WriteFile(L"\u00c9T\u00c9.TXT");
    root_.WriteFile(L"SUB\\DEEP\\FILE.TXT");
    root_.WriteFile(L"HIDDEN.TXT");
    root_.WriteFile(L"SYSTEM.DAT");
    SetFileAttributesW((root_ / L"HIDDEN.TXT").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW((root_ / L"SYSTEM.DAT").c_str(), FILE_ATTRIBUTE_SYSTEM);
    std::wstring before = GetCurrentDirectoryString();

    RunOutcome outcome = RunOver(root_.path());

    EXPECT_TRUE(RanClean(outcome));
    EXPECT_EQ(outcome.done.renamed, 6u);
    EXPECT_EQ(ListTree(root_.path()),
              (std::vector<std::wstring>{L".\\hidden.txt", L".\\sub", L".\\sub\\deep", L".\\sub\\deep\\file.txt",
                                         L".\\system.dat", L".\\\u00c9t\u00c9.txt"}));
    EXPECT_EQ(GetCurrentDirectoryString(), before);
}

TEST_F(BatchRunTest, UpperAndReadOnlyRuns)
{
    root_.WriteFile(L"sub\\stra\u00dfe.mp3");
    SetFileAttributesW((root_ / L"sub").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW((root_ / L"sub\\stra\u00dfe.mp3").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);

    RunOver(root_.path(), Options(ModeReadOnly));
    EXPECT_FALSE(GetFileAttributesW((root_ / L"sub").c_str()) & FILE_ATTRIBUTE_READONLY);
    DWORD file = GetFileAttributesW((root_ / L"sub\\stra\u00dfe.mp3").c_str());
    EXPECT_EQ(file & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), DWORD(FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(ListTree(root_.path()), (std::vector<std::wstring>{L".\\sub", L".\\sub\\stra\u00dfe.mp3"}));

    RunOver(root_.path(), Options(ModeUpper));
    EXPECT_EQ(ListTree(root_.path()), (std::vector<std::wstring>{L".\\SUB", L".\\SUB\\STRA\u00dfE.MP3"}));
}

TEST_F(BatchRunTest, FolderStandsBeforeItsContentsInTheCollection)
{
    root_.WriteFile(L"A\\x.txt");
    root_.WriteFile(L"B.txt");
    CollectedTree tree = Collected(ModeLower, root_.path());
    std::vector<std::wstring> paths = PathsOf(tree);
    ASSERT_EQ(paths.size(), 3u);
    auto position = [&](const wchar_t* p) { return std::find(paths.begin(), paths.end(), p) - paths.begin(); };
    EXPECT_LT(position(L".\\A"), position(L".\\A\\x.txt"));
    EXPECT_LT(position(L".\\B.txt"), 3);
    // Collection step, root visit, folder A visit, and one per entry.
    EXPECT_EQ(tree.plan.progressTotal, 1 + 2 + 3);
}

TEST_F(BatchRunTest, TenFilesCountTwelveInTheProgressTotal)
{
    for (int i = 0; i < 10; ++i)
        root_.WriteFile(L"f" + std::to_wstring(i) + L".TXT");
    CollectedTree tree = Collected(ModeLower, root_.path());
    EXPECT_EQ(tree.plan.entries.size(), 10u);
    EXPECT_EQ(tree.plan.progressTotal, 12);
}

TEST_F(BatchRunTest, NumberingCollectsVisibleFilesOfEachExtensionInListOrder)
{
    root_.WriteFile(L"a.JPG");
    root_.WriteFile(L"b.png");
    root_.WriteFile(L"README");
    root_.WriteFile(L"archive.tar.gz");
    root_.WriteFile(L".hid\\in.jpg");
    root_.WriteFile(L"hidden.jpg");
    SetFileAttributesW((root_ / L".hid").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
    SetFileAttributesW((root_ / L"hidden.jpg").c_str(), FILE_ATTRIBUTE_HIDDEN);

    CollectedTree tree = CollectEntries(ExtendedLengthPath(root_.path()), Options(ModeNumber, L" ,png, , jpg ,"), nullptr,
                                        nullptr);

    std::vector<std::wstring> paths = PathsOf(tree);
    ASSERT_EQ(paths.size(), 3u);
    EXPECT_EQ(paths[0], L".\\b.png");
    std::sort(paths.begin() + 1, paths.end());
    EXPECT_EQ(paths[1], L".\\.hid\\in.jpg");
    EXPECT_EQ(paths[2], L".\\a.JPG");
    EXPECT_EQ(tree.plan.progressTotal, 3);
}

TEST_F(BatchRunTest, ExcludedPathsAreNeitherCollectedNorCounted)
{
    root_.WriteFile(L"keep.jpg");
    root_.WriteFile(L"done.jpg");
    PathList exclusions;
    Append(exclusions, L".\\DONE.JPG");
    RunOptions options;
    options.mode = ModeNumber;
    CollectedTree tree = CollectEntries(ExtendedLengthPath(root_.path()), options, &exclusions, nullptr);
    EXPECT_EQ(PathsOf(tree), (std::vector<std::wstring>{L".\\keep.jpg"}));
    EXPECT_EQ(tree.plan.progressTotal, 1);
}

TEST_F(BatchRunTest, MissingOrEmptyPathChangesNothingAnywhere)
{
    // The current directory must not be walked in place of a folder that does not exist.
    root_.WriteFile(L"KEEP.TXT");
    std::wstring saved = GetCurrentDirectoryString();
    SetCurrentDirectoryW(root_.path().c_str());
    EXPECT_EQ(RunOver(root_ / L"missing").result, BatchResult::PathNotFound);
    EXPECT_EQ(RunOver(L"").result, BatchResult::PathNotFound);
    SetCurrentDirectoryW(saved.c_str());
    EXPECT_EQ(ListNames(root_.path()), (std::vector<std::wstring>{L"KEEP.TXT"}));
}

// A tree beyond what memory holds fails an allocation while it is walked: wherever that happens
// (the first entry, the last, a later pass of a numbering walk), the run stops before its first
// change, with no plan and no journal, and the "Calculating..." box it showed goes.
TEST_F(BatchRunTest, AnAllocationFailedWhileTheTreeIsWalkedStopsTheRunBeforeAnyChange)
{
    root_.WriteFile(L"A\\ONE.TXT");
    root_.WriteFile(L"A\\TWO.TXT");
    root_.WriteFile(L"THREE.JPG");
    const std::vector<std::wstring> before = ListTree(root_.path());
    struct Case {
        OperationMode mode;
        int failingEntry; // of the four the walk reads, once per extension when numbering
    };
    for (Case failing : {Case{ModeLower, 1}, Case{ModeLower, 3}, Case{ModeLower, 4}, Case{ModeNumber, 6}}) {
        SCOPED_TRACE(testing::Message() << "mode " << static_cast<int>(failing.mode) << ", entry " << failing.failingEntry);
        TempFolder journals;
        RunOptions options = Options(failing.mode, L"jpg, txt");
        options.journalFolder = journals.path();
        int walked = 0;
        int shown = 0;
        RunHooks hooks;
        hooks.collectionBegins = [&] { ++shown; };
        hooks.collectionEnds = [&] { --shown; };
        hooks.afterEntry = [&] {
            if (++walked == failing.failingEntry)
                throw std::bad_alloc();
        };

        PreparedRun prepared = PrepareRun(root_.path(), options, hooks);
        EXPECT_EQ(prepared.result, BatchResult::OutOfMemory);
        EXPECT_TRUE(prepared.plan.entries.empty());
        EXPECT_EQ(walked, failing.failingEntry);
        EXPECT_EQ(shown, 0);
        prepared = PreparedRun();

        walked = 0;
        RunOutcome outcome = BatchRun(root_.path(), options, hooks);
        EXPECT_EQ(outcome.result, BatchResult::OutOfMemory);
        EXPECT_EQ(outcome.done.renamed, 0u);
        EXPECT_EQ(ListTree(root_.path()), before);
        EXPECT_TRUE(ListNames(journals.path()).empty());
    }
    // Nothing failing, the same run changes the tree.
    EXPECT_TRUE(RanClean(RunOver(root_.path())));
    EXPECT_NE(ListTree(root_.path()), before);
}

TEST_F(BatchRunTest, FilePathIsTreatedAsThatOneEntry)
{
    root_.WriteFile(L"DIR\\ONE.TXT");
    root_.WriteFile(L"DIR\\TWO.TXT");
    EXPECT_EQ(RunOver(root_ / L"DIR\\ONE.TXT").result, BatchResult::Completed);
    EXPECT_EQ(ListTree(root_.path()), (std::vector<std::wstring>{L".\\DIR", L".\\DIR\\TWO.TXT", L".\\DIR\\one.txt"}));

    SetFileAttributesW((root_ / L"DIR\\TWO.TXT").c_str(), FILE_ATTRIBUTE_READONLY);
    RunOver(root_ / L"DIR\\TWO.TXT", Options(ModeReadOnly));
    EXPECT_FALSE(GetFileAttributesW((root_ / L"DIR\\TWO.TXT").c_str()) & FILE_ATTRIBUTE_READONLY);
}

TEST_F(BatchRunTest, LockedFileIsPostponedToTheNextRestart)
{
    root_.WriteFile(L"OPEN.TXT");
    root_.WriteFile(L"FREE.TXT");
    HANDLE lock = CreateFileW((root_ / L"OPEN.TXT").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    RunOutcome outcome = RunOver(root_.path());
    CloseHandle(lock);
    EXPECT_EQ(outcome.postponed, (std::vector<std::wstring>{L".\\OPEN.TXT"}));
    EXPECT_TRUE(outcome.RestartNeeded());
    EXPECT_EQ(outcome.failures.count, 0u);
    EXPECT_EQ(ListNames(root_.path()), (std::vector<std::wstring>{L"OPEN.TXT", L"free.txt"}));
}

TEST_F(BatchRunTest, TheFolderThisProcessStartedInIsRenamedLikeAnyOther)
{
    root_.WriteFile(L"WORK\\FILE.TXT");
    std::wstring saved = GetCurrentDirectoryString();
    ASSERT_TRUE(SetCurrentDirectoryW((root_ / L"WORK").c_str()));
    RunOutcome outcome = RunOver(root_.path());
    std::wstring afterwards = GetCurrentDirectoryString();
    SetCurrentDirectoryW(saved.c_str());
    EXPECT_TRUE(RanClean(outcome)) << outcome.postponed.size() << " postponed";
    EXPECT_EQ(ListTree(root_.path()), (std::vector<std::wstring>{L".\\work", L".\\work\\file.txt"}));
    // Back where it was, under the folder's new spelling.
    EXPECT_TRUE(EqualsAsciiNoCase(afterwards, root_ / L"WORK")) << Narrow(afterwards);
}

TEST_F(BatchRunTest, ASecondRunWaitsForTheFirstAndPlansWhatItLeft)
{
    root_.WriteFile(L"A.TXT");
    UniqueKernelHandle taken(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    UniqueKernelHandle waiting(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    // Another run holds the lock, and renames a file before it lets go.
    std::thread other([&] {
        RunLock lock = AcquireRunLock(RunHooks());
        SetEvent(taken.get());
        WaitForSingleObject(waiting.get(), 10000);
        MoveFileW((root_ / L"A.TXT").c_str(), (root_ / L"B.TXT").c_str());
    });
    WaitForSingleObject(taken.get(), 10000);
    int toldWaiting = 0;
    RunHooks hooks;
    hooks.waitingForOtherRun = [&] {
        ++toldWaiting;
        SetEvent(waiting.get());
    };
    RunOutcome outcome = BatchRun(root_.path(), Options(ModeLower), hooks);
    other.join();
    EXPECT_EQ(toldWaiting, 1);
    EXPECT_TRUE(RanClean(outcome));
    EXPECT_EQ(ListNames(root_.path()), (std::vector<std::wstring>{L"b.txt"}));
}

TEST_F(BatchRunTest, EntriesAreReachedByTheirExactNames)
{
    // Names from other systems that plain paths turn into something else.
    for (const wchar_t* name : {L"ALONE.", L"SPACE ", L"CON.TXT", L"NUL", L"DIR.\\INNER.TXT"})
        root_.WriteFile(name, Narrow(name));
    SetFileAttributesW(ExtendedLengthPath(root_ / L"ALONE.").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(ExtendedLengthPath(root_ / L"CON.TXT").c_str(), FILE_ATTRIBUTE_READONLY);

    EXPECT_TRUE(RanClean(RunOver(root_.path(), Options(ModeReadOnly))));
    EXPECT_FALSE(GetFileAttributesW(ExtendedLengthPath(root_ / L"ALONE.").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(GetFileAttributesW(ExtendedLengthPath(root_ / L"CON.TXT").c_str()) & FILE_ATTRIBUTE_READONLY);

    // Lower case would make device names of CON.TXT and NUL: they keep theirs and are named.
    RenameFailures failures = RunOver(root_.path()).failures;
    EXPECT_EQ(failures.count, 2u);
    // The refused name stands beside the reason.
    EXPECT_NE(std::find(failures.firstPaths.begin(), failures.firstPaths.end(),
                        L".\\CON.TXT (con.txt: reserved for a device)"),
              failures.firstPaths.end());
    EXPECT_EQ(ListTree(root_.path()), (std::vector<std::wstring>{L".\\CON.TXT", L".\\NUL", L".\\alone.", L".\\dir.",
                                                                 L".\\dir.\\inner.txt", L".\\space "}));
    EXPECT_EQ(ReadFileBytes(ExtendedLengthPath(root_ / L"dir.\\inner.txt")), "DIR.\\INNER.TXT");

    EXPECT_TRUE(RanClean(RunOver(root_.path(), Options(ModeNumber, L"txt"))));
    EXPECT_EQ(ReadFileBytes(ExtendedLengthPath(root_ / L"P0.txt")) + ReadFileBytes(ExtendedLengthPath(root_ / L"P1.txt")) +
                  ReadFileBytes(ExtendedLengthPath(root_ / L"dir.\\P1.txt")) +
                  ReadFileBytes(ExtendedLengthPath(root_ / L"dir.\\P0.txt")),
              "CON.TXTDIR.\\INNER.TXT");
}

TEST_F(BatchRunTest, NamesFromAnotherSystemAreRenamedJournaledAsTheyCameAndTakenBack)
{
    // A Unix name holding a colon, beside a plain one: neither stops the run.
    std::wstring folder = PreparedFixture(L"othersystem");
    if (folder.empty())
        GTEST_SKIP() << "no folder holding a name from another system";
    const std::vector<std::wstring> before = ListNames(folder);
    ASSERT_EQ(before, (std::vector<std::wstring>{L"COLON:NAME.TXT", L"UP.TXT"}));
    EXPECT_TRUE(RanClean(RunOver(folder)));
    EXPECT_EQ(ListNames(folder), (std::vector<std::wstring>{L"colon:name.txt", L"up.txt"}));
    RunJournalData journal;
    ASSERT_TRUE(LoadJournal(FindUndoOffer(UserJournalFolder()).journalPath, journal));
    EXPECT_FALSE(journal.damage.Any());
    EXPECT_TRUE(UndoJournal(journal, UndoTarget()).notUndone.empty());
    EXPECT_EQ(ListNames(folder), before);
}

TEST_F(BatchRunTest, PathsOfAnyLengthAreRenamedWithoutBecomingTheCurrentDirectory)
{
    // A chosen folder past 260 units, and entries past 1,024 below it.
    std::wstring chosen = L"LONG";
    while ((root_ / chosen).size() < 300)
        chosen += L"\\" + std::wstring(40, L'C');
    std::wstring deep = chosen;
    while ((root_ / deep).size() < 1100)
        deep += L"\\" + std::wstring(60, L'D');
    root_.WriteFile(deep + L"\\FILE.TXT", "deep");
    std::wstring before = GetCurrentDirectoryString();

    EXPECT_TRUE(RanClean(RunOver(root_ / chosen)));

    std::wstring lowered = deep.substr(chosen.size());
    LowerAscii(lowered);
    EXPECT_EQ(ReadFileBytes(ExtendedLengthPath(root_ / chosen + lowered + L"\\file.txt")), "deep");
    EXPECT_EQ(GetCurrentDirectoryString(), before);
}

TEST_F(BatchRunTest, RenumberingANumberedFolderRenamesEveryFile)
{
    for (int i = 0; i < 5; ++i)
        root_.WriteFile(L"P" + std::to_wstring(i) + L".jpg", "old" + std::to_string(i));
    root_.WriteFile(L"new.jpg", "new");

    EXPECT_TRUE(RanClean(RunOver(root_.path(), Options(ModeNumber, L"jpg"))));

    std::vector<std::wstring> names = ListNames(root_.path());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"P0.jpg", L"P1.jpg", L"P2.jpg", L"P3.jpg", L"P4.jpg", L"P5.jpg"}));
    std::vector<std::string> contents;
    for (const std::wstring& name : names)
        contents.push_back(ReadFileBytes(root_ / name));
    std::sort(contents.begin(), contents.end());
    EXPECT_EQ(contents, (std::vector<std::string>{"new", "old0", "old1", "old2", "old3", "old4"}));
}

TEST_F(BatchRunTest, ExtensionListedTwiceRenamesEachFileOnceWithoutAFailure)
{
    root_.WriteFile(L"a.jpg", "a");
    root_.WriteFile(L"b.JPG", "b");
    EXPECT_TRUE(RanClean(RunOver(root_.path(), Options(ModeNumber, L"jpg JPG, jpg"))));
    EXPECT_EQ(ListNames(root_.path()), (std::vector<std::wstring>{L"P0.jpg", L"P1.jpg"}));
}

void BatchRunTest::CutANumberingRunShort()
{
    root_.WriteFile(L"a.jpg", "a");
    root_.WriteFile(L"b.jpg", "b");
    RunHooks cut;
    cut.afterChange = [] { return false; };
    ASSERT_TRUE(BatchRun(root_.path(), Options(ModeNumber, L"jpg"), cut).stopped);
    ASSERT_EQ(ListNames(root_.path()), (std::vector<std::wstring>{L"P0.jpg", L"b.jpg"}));
}

TEST_F(BatchRunTest, ARunCutShortIsTakenBackBeforeTheNextOnlyWithConsent)
{
    ASSERT_NO_FATAL_FAILURE(CutANumberingRunShort());
    std::vector<std::wstring> asked;
    bool answer = false;
    RunHooks hooks;
    hooks.askTakeBackUnfinished = [&](const std::wstring& folder) {
        asked.push_back(folder);
        return answer;
    };
    // No: planned over the names as the cut run left them, which stay.
    PreparedRun kept = PrepareRun(root_.path(), Options(ModeNumber, L"jpg"), hooks);
    kept.lock = RunLock();
    EXPECT_EQ(asked, (std::vector<std::wstring>{ExtendedLengthPath(root_.path())}));
    EXPECT_EQ(ListNames(root_.path()), (std::vector<std::wstring>{L"P0.jpg", L"b.jpg"}));
    // Yes: taken back first, once.
    answer = true;
    PreparedRun fresh = PrepareRun(root_.path(), Options(ModeNumber, L"jpg"), hooks);
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(ListNames(root_.path()), (std::vector<std::wstring>{L"a.jpg", L"b.jpg"}));
}

TEST_F(BatchRunTest, ARunCutShortTakenBackInPartTellsWhatWasNot)
{
    ASSERT_NO_FATAL_FAILURE(CutANumberingRunShort());
    // Since the cut, another file took the name the renamed one would get back.
    root_.WriteFile(L"a.jpg", "new");

    std::vector<UndoProblem> told;
    RunHooks hooks;
    hooks.tookBackInPart = [&](const std::wstring& folder, const UndoReport& report, const std::wstring& keptAs) {
        EXPECT_EQ(folder, ExtendedLengthPath(root_.path()));
        EXPECT_TRUE(keptAs.empty());
        told.insert(told.end(), report.notUndone.begin(), report.notUndone.end());
    };
    PreparedRun run = PrepareRun(root_.path(), Options(ModeNumber, L"jpg"), hooks);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].reason, UndoSkip::OldNameTaken);
    EXPECT_EQ(ReadFileBytes(root_ / L"a.jpg"), "new");
}
