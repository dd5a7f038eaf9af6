// Runs journaled and taken back over real files in a temp folder: a plan of the files on disk,
// its steps ordered and made by the engine's own OrderRunSteps and ApplyRunSteps, then Undo must
// leave names, bytes, read-only marks, last-write times, the memory files, the Favorites order
// and the renames waiting for the restart as they were, and skip what changed since.
#include "ApplyRunSteps.h"
#include "BatchUndo.h"
#include "EntryState.h"
#include "ExtendedPath.h"
#include "FavoritesOrder.h"
#include "HandPlan.h"
#include "HistoryFormat.h"
#include "JournalStore.h"
#include "PathParts.h"
#include "RunJournal.h"
#include "ScratchRegistry.h"
#include "TempFolder.h"
#include "TreeSnapshot.h"
#include "UnfinishedRuns.h"
#include "UniqueHandle.h"

#include <gtest/gtest.h>
#include <sddl.h>

#include <algorithm>
#include <map>

namespace {

class UndoRunTest : public testing::Test {
protected:
    void SetUp() override
    {
        testKey_ = NewScratchKeyPath();
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, testKey_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        favoritesRoot_.reset(key);
        plan_.root = ExtendedLengthPath(tree_.path());
    }
    void TearDown() override
    {
        favoritesRoot_.reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, testKey_.c_str());
    }

    std::wstring Full(const std::wstring& relative) const { return plan_.root + L"\\" + relative; }

    // A plan entry for what is on disk now, to be given newName (its own name: no rename). An
    // entry in a folder of the plan names that folder's entry.
    std::int32_t Entry(const std::wstring& relative, const std::wstring& newName, std::int32_t parent = -1)
    {
        EntryState state = ReadEntryState(Full(relative));
        PlannedEntry& entry = AddPlannedEntry(plan_, L".\\" + relative);
        plan_.SetNewName(entry, newName);
        entry.parent = parent;
        entry.isFolder = state.IsFolder();
        entry.attributes = state.attributes;
        entry.size = state.size;
        entry.lastWrite = state.lastWrite;
        entry.status = PlanStatus::WillChange;
        return static_cast<std::int32_t>(plan_.entries.size() - 1);
    }
    PlannedEntry& Planned(std::int32_t entry) { return plan_.entries[static_cast<size_t>(entry)]; }

    RunJournal Begin(const RunJournalContext& base = {})
    {
        steps_ = OrderRunSteps(plan_, L"test");
        RunJournalContext context = base;
        context.journalFolder = journals_.path();
        context.favoritesRoot = favoritesRoot_.get();
        RunJournal journal;
        EXPECT_TRUE(BeginRunJournal(plan_, steps_, context, journal));
        EXPECT_FALSE(journal.path.empty());
        return journal;
    }

    // The first count steps, made by the engine.
    std::vector<StepResult> Apply(size_t count)
    {
        std::vector<RunStep> first;
        for (size_t i = 0; i < count; ++i)
            first.push_back(steps_[i]);
        CaseRenameMemory memory;
        ChangeWatch watch;
        std::vector<StepResult> results = ApplyRunSteps(plan_, RunSteps(first), memory, nullptr, watch);
        results.resize(steps_.size());
        return results;
    }
    void Run(const RunJournalContext& context = {})
    {
        RunJournal journal = Begin(context);
        EndRunJournal(journal, plan_, steps_, Apply(steps_.size()));
    }

    // Undo of the newest run, as the File menu makes it.
    UndoOutcome Undo(UndoTarget target = {})
    {
        target.historyFile = memory_ / L"Nomaro.stdb";
        target.favoritesRoot = favoritesRoot_.get();
        PreparedUndo undo = PrepareUndo(journals_.path(), target, RunHooks());
        EXPECT_EQ(undo.state, UndoOfferState::Ready);
        return ExecuteUndo(undo, RunHooks());
    }

    TreeSnapshot Snapshot() const { return SnapshotTree(tree_.path()); }

    static void ExpectSame(const TreeSnapshot& now, const TreeSnapshot& before)
    {
        ASSERT_EQ(now.size(), before.size());
        for (auto n = now.begin(), b = before.begin(); n != now.end(); ++n, ++b) {
            ASSERT_EQ(n->first, b->first);
            EXPECT_EQ(n->second.bytes, b->second.bytes) << Narrow(n->first);
            EXPECT_EQ(n->second.readOnly, b->second.readOnly) << Narrow(n->first);
            EXPECT_TRUE(SameFileTime(n->second.lastWrite, b->second.lastWrite)) << Narrow(n->first);
        }
    }

    TempFolder tree_;
    TempFolder journals_;
    TempFolder memory_; // the StartDirectory of the memory files
    std::wstring testKey_;
    UniqueKey favoritesRoot_;
    RunPlan plan_;
    RunSteps steps_;
};

std::string Bytes(size_t size, char fill)
{
    return std::string(size, fill);
}

std::vector<UndoSkip> Reasons(const UndoReport& report)
{
    std::vector<UndoSkip> reasons;
    for (const UndoProblem& problem : report.notUndone)
        reasons.push_back(problem.reason);
    return reasons;
}

// The value's bytes, or none.
std::string ValueBytes(HKEY root, const std::wstring& key)
{
    DWORD size = 0;
    if (RegGetValueW(root, key.c_str(), kPendingRenamesValue, RRF_RT_ANY, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return std::string();
    std::string bytes(size, '\0');
    RegGetValueW(root, key.c_str(), kPendingRenamesValue, RRF_RT_ANY, nullptr, bytes.data(), &size);
    bytes.resize(size);
    return bytes;
}

std::string Units(const std::wstring& text)
{
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

} // namespace

TEST_F(UndoRunTest, RenumberingWithTagsReadOnlyAndMemoryIsTakenBackByteForByte)
{
    tree_.WriteFile(L"P0.jpg", "zero");
    tree_.WriteFile(L"P1.jpg", "one");
    tree_.WriteFile(L"new.JPG", "new");
    SetFileAttributesW((tree_ / L"new.JPG").c_str(), FILE_ATTRIBUTE_READONLY);
    tree_.WriteFile(L"Song.MP3", Bytes(1000, 'm') + "tag" + Bytes(125, 't'));
    tree_.WriteFile(L"b.mp3", Bytes(300, 'b'));
    std::wstring indexFile = memory_ / L"20240101000000.idx";
    PathList records;
    Append(records, tree_.path(), 2, &indexFile);
    std::string historyBefore = EncodeHistory(records);
    std::string indexBefore("\x04\0\0\0.\0\\\0P\0" "0\0", 12);
    WriteFileBytes(memory_ / L"Nomaro.stdb", historyBefore);
    WriteFileBytes(indexFile, indexBefore);
    TreeSnapshot before = Snapshot();

    // A chain: P1 leaves for P2 before P0 takes P1 and the new file takes P0.
    Planned(Entry(L"new.JPG", L"P0.jpg")).clearReadOnly = true;
    Entry(L"P0.jpg", L"P1.jpg");
    Entry(L"P1.jpg", L"P2.jpg");
    Planned(Entry(L"Song.MP3", L"P3.mp3")).writeTag = true;
    Planned(Entry(L"b.mp3", L"P4.mp3")).writeTag = true;

    RunJournalContext context;
    context.historyFile = memory_ / L"Nomaro.stdb";
    context.indexFile = indexFile;
    RunJournal journal = Begin(context);
    std::vector<StepResult> results = Apply(steps_.size());
    EndRunJournal(journal, plan_, steps_, results);
    RunJournalData ended;
    ASSERT_TRUE(LoadJournal(journal.path, ended));
    EXPECT_EQ(ended.header.state, JournalState::Ended);
    EXPECT_EQ(ended.results.size(), steps_.size());
    // The record step rewrites the memory files.
    WriteFileBytes(memory_ / L"Nomaro.stdb", historyBefore + "more");
    WriteFileBytes(indexFile, indexBefore + "more");
    ASSERT_EQ(ListNames(tree_.path()), (std::vector<std::wstring>{L"P0.jpg", L"P1.jpg", L"P2.jpg", L"P3.mp3", L"P4.mp3"}));
    ASSERT_EQ(ReadFileBytes(tree_ / L"P4.mp3").size(), 428u);

    UndoReport report = Undo();
    EXPECT_EQ(report.undone, steps_.size() + 2);
    EXPECT_TRUE(report.notUndone.empty());
    EXPECT_TRUE(report.historyRestored);
    ExpectSame(Snapshot(), before);
    EXPECT_EQ(ReadFileBytes(memory_ / L"Nomaro.stdb"), historyBefore);
    EXPECT_EQ(ReadFileBytes(indexFile), indexBefore);
}

TEST_F(UndoRunTest, IndexFileMadeAfterTheHistoryFileWasRemovedIsRemovedToo)
{
    tree_.WriteFile(L"a.jpg", "a");
    Entry(L"a.jpg", L"P0.jpg");
    // The history file was removed while Nomaro ran: no record on disk names the folder's index.
    RunJournalContext context;
    context.historyFile = memory_ / L"Nomaro.stdb";
    context.indexFile = memory_ / L"20240101000000.idx";
    RunJournal journal = Begin(context);
    std::vector<StepResult> results = Apply(steps_.size());
    WriteFileBytes(context.indexFile, "index");
    EndRunJournal(journal, plan_, steps_, results);

    UndoReport report = Undo();
    EXPECT_EQ(report.undone, 2u);
    EXPECT_TRUE(report.notUndone.empty());
    EXPECT_EQ(ListNames(memory_.path()), std::vector<std::wstring>{});
    EXPECT_EQ(ListNames(tree_.path()), (std::vector<std::wstring>{L"a.jpg"}));
}

TEST_F(UndoRunTest, RunKilledHalfWayIsTakenBackFromWhatIsOnDisk)
{
    tree_.WriteFile(L"DIR\\X.TXT", "x");
    tree_.WriteFile(L"B.TXT", "b");
    tree_.WriteFile(L"C.TXT", "c");
    tree_.WriteFile(L"D.TXT", "d");
    TreeSnapshot before = Snapshot();
    plan_.mode = ModeLower;
    std::int32_t folder = Entry(L"DIR", L"dir");
    Entry(L"DIR\\X.TXT", L"x.txt", folder);
    Entry(L"B.TXT", L"b.txt");
    Entry(L"C.TXT", L"c.txt");
    Entry(L"D.TXT", L"d.txt");

    Begin();
    // Killed while C.TXT stood under its temporary name, half way through its rename; D.TXT was
    // never reached.
    Apply(3);
    RunStep cut = steps_[3];
    ASSERT_EQ(cut.path, Full(L"C.TXT"));
    ASSERT_TRUE(MoveFileExW(cut.path.c_str(), cut.temporaryPath.c_str(), 0));

    UndoReport report = Undo();
    EXPECT_EQ(report.undone, 4u);
    EXPECT_TRUE(report.notUndone.empty());
    ExpectSame(Snapshot(), before);
    EXPECT_EQ(ListNames(tree_.path()), (std::vector<std::wstring>{L"B.TXT", L"C.TXT", L"D.TXT", L"DIR"}));
    EXPECT_EQ(ListNames(tree_ / L"DIR"), (std::vector<std::wstring>{L"X.TXT"}));
}

TEST_F(UndoRunTest, FileChangedSinceAndOldNameTakenAreSkippedAndNamed)
{
    tree_.WriteFile(L"a.txt", "a");
    tree_.WriteFile(L"b.txt", "b");
    tree_.WriteFile(L"c.txt", "c");
    Entry(L"a.txt", L"N0.txt");
    Entry(L"b.txt", L"N1.txt");
    Entry(L"c.txt", L"N2.txt");
    Run();

    WriteFileBytes(tree_ / L"N0.txt", "edited by hand");
    tree_.WriteFile(L"b.txt", "another file");

    UndoReport report = Undo();
    EXPECT_EQ(report.undone, 1u);
    EXPECT_EQ(Reasons(report), (std::vector<UndoSkip>{UndoSkip::OldNameTaken, UndoSkip::Changed}));
    EXPECT_EQ(ListNames(tree_.path()), (std::vector<std::wstring>{L"N0.txt", L"N1.txt", L"b.txt", L"c.txt"}));
    EXPECT_EQ(ReadFileBytes(tree_ / L"b.txt"), "another file");
    EXPECT_EQ(ReadFileBytes(tree_ / L"N1.txt"), "b");
}

TEST_F(UndoRunTest, FavoritesOrderComesBackWithItsType)
{
    tree_.WriteFile(L"Links\\Site.url", "[InternetShortcut]");
    const std::string order("\x0c\0\0\0\x01\x02\x03\x00", 8);
    ASSERT_TRUE(RestoreFavoritesOrder(favoritesRoot_.get(), {KeptState::Present, REG_BINARY, order}));
    plan_.mode = ModeFavorites;
    Entry(L"Links", L"links");
    RunJournalContext context;
    context.favoritesOrder = true;
    Run(context);
    DeleteFavoritesOrder(favoritesRoot_.get());

    UndoReport report = Undo();
    EXPECT_EQ(report.undone, 2u);
    KeptBytes now;
    ASSERT_TRUE(ReadFavoritesOrder(favoritesRoot_.get(), now));
    EXPECT_EQ(now.state, KeptState::Present);
    EXPECT_EQ(now.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(now.bytes, order);
    EXPECT_EQ(ListNames(tree_.path()), (std::vector<std::wstring>{L"Links"}));
}

TEST_F(UndoRunTest, PostponedRenameIsCancelledByItsOwnPairAlone)
{
    if (!RunningUnderWine())
        GTEST_SKIP() << "registers a real rename for the next restart, which only a Wine test prefix may hold";
    // The system's own list is put back as it was; Undo works on copies in scratch keys.
    SavedRegistryValue systemList(HKEY_LOCAL_MACHINE, kSessionManagerKey, kPendingRenamesValue);
    ASSERT_TRUE(systemList.saved());
    tree_.WriteFile(L"Busy.jpg", "busy");
    tree_.WriteFile(L"free.jpg", "free");
    Entry(L"Busy.jpg", L"P0.jpg");
    Entry(L"free.jpg", L"P1.jpg");
    {
        // Held open without sharing: its rename can only be made at the restart.
        UniqueFile busy(CreateFileW((tree_ / L"Busy.jpg").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(busy.valid());
        Run();
    }

    // The system holds the pair as the step's exact paths with \??\ for \\?\.
    auto nt = [this](const std::wstring& relative) { return L"\\??\\" + Full(relative).substr(4) + L'\0'; };
    const std::string ours = Units(nt(L"Busy.jpg") + nt(L"P0.jpg"));
    ASSERT_NE(ValueBytes(HKEY_LOCAL_MACHINE, kSessionManagerKey).find(ours), std::string::npos);
    // Another program's pair before ours, a delete, stays (PendingRenames_test has the other cases).
    const std::wstring deletion = nt(L"old.log") + L'\0';
    const std::string others = Units(deletion + L'\0');
    const std::string list = Units(deletion) + ours + Units(std::wstring(1, L'\0'));
    const std::wstring locked = testKey_ + L"\\Locked";
    const std::wstring open = testKey_ + L"\\Open";
    for (const std::wstring& key : {locked, open})
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), kPendingRenamesValue, REG_MULTI_SZ, list.data(),
                                  static_cast<DWORD>(list.size())),
                  ERROR_SUCCESS);
    // The locked list may be read and removed, not changed, as the system's own by a user who is
    // not an administrator.
    PSECURITY_DESCRIPTOR readOnly = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KRSD;;;WD)", SDDL_REVISION_1, &readOnly, nullptr));
    ScopeExit freeDescriptor([readOnly] { LocalFree(readOnly); });
    HKEY raw = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, locked.c_str(), 0, WRITE_DAC, &raw), ERROR_SUCCESS);
    UniqueKey lockedKey(raw);
    ASSERT_EQ(RegSetKeySecurity(lockedKey.get(), DACL_SECURITY_INFORMATION, readOnly), ERROR_SUCCESS);

    // The journal is undone twice, once against each list: Undo removes it, so it is put back.
    const std::wstring journal = FindUndoOffer(journals_.path()).journalPath;
    const std::string journalBytes = ReadFileBytes(journal);
    UndoTarget target;
    target.pendingRenamesRoot = HKEY_CURRENT_USER;
    target.pendingRenamesKey = locked;
    UndoReport report = Undo(target);
    EXPECT_EQ(report.undone, 1u); // free.jpg
    ASSERT_EQ(report.notUndone.size(), 1u);
    EXPECT_EQ(report.notUndone[0].path, Full(L"Busy.jpg"));
    EXPECT_EQ(report.notUndone[0].reason, UndoSkip::AwaitingRestart);
    EXPECT_EQ(report.notUndone[0].error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(ValueBytes(HKEY_CURRENT_USER, locked), list);

    target.pendingRenamesKey = open;
    ASSERT_TRUE(WriteFileBytes(journal, journalBytes));
    report = Undo(target);
    EXPECT_EQ(report.undone, 1u);
    EXPECT_TRUE(report.notUndone.empty());
    EXPECT_EQ(ValueBytes(HKEY_CURRENT_USER, open), others);
    EXPECT_EQ(ListNames(tree_.path()), (std::vector<std::wstring>{L"Busy.jpg", L"free.jpg"}));
}

// Undo of what is left of a damaged journal: RunCut_test's torn journal; which records are left
// out: JournalFormat_test.
TEST_F(UndoRunTest, UnreadableJournalsAreSkippedKeptAndNamedByTheNextOffer)
{
    tree_.WriteFile(L"a.txt", "a");
    Entry(L"a.txt", L"N0.txt");
    Run();
    std::wstring older = FindUndoOffer(journals_.path()).journalPath;
    // A newer journal whose records the window could not all undo (it sets it aside afterwards), a
    // newer one whose header does not check, and a newest one that is empty: its run never began.
    std::wstring partly = Begin().path;
    std::wstring unreadable = Begin().path;
    std::string bytes = ReadFileBytes(unreadable);
    bytes[kJournalStateOffset + 1] ^= 0x01;
    ASSERT_TRUE(WriteFileBytes(unreadable, bytes));
    std::wstring empty = Begin().path;
    ASSERT_TRUE(WriteFileBytes(empty, ""));

    UndoOffer offer = FindUndoOffer(journals_.path());
    ASSERT_EQ(offer.journalPath, partly);
    ASSERT_EQ(offer.unreadable.size(), 1u);
    EXPECT_EQ(offer.unreadable[0].path, unreadable);
    EXPECT_FALSE(offer.unreadable[0].setAside);

    // Set aside, never over another file; then the older run is offered, and both named.
    journals_.WriteFile(std::wstring(LastComponent(unreadable)) + L".unreadable", "a file of that name");
    std::wstring keptUnreadable = SetAsideJournal(unreadable);
    EXPECT_EQ(keptUnreadable, unreadable + L".1.unreadable");
    std::wstring keptPartly = SetAsideJournal(partly);
    EXPECT_EQ(keptPartly, partly + L".unreadable");
    offer = FindUndoOffer(journals_.path());
    EXPECT_EQ(offer.journalPath, older);
    // Newest first; the two names kept for one run may come in either order.
    ASSERT_EQ(offer.unreadable.size(), 3u);
    std::vector<std::wstring> named;
    for (const UnreadableJournal& kept : offer.unreadable)
        named.push_back(kept.path + (kept.setAside ? L"" : L" not set aside"));
    std::sort(named.begin(), named.begin() + 2);
    EXPECT_EQ(named, (std::vector<std::wstring>{keptUnreadable, unreadable + L".unreadable", keptPartly}));
    // Pruning keeps what was set aside.
    PruneJournals(journals_.path(), 0);
    EXPECT_TRUE(PathExists(keptPartly));
    EXPECT_TRUE(PathExists(keptUnreadable));
}

TEST_F(UndoRunTest, TheNewestTenJournalsAreKeptAndOfferedNewestFirst)
{
    tree_.WriteFile(L"A.TXT");
    Entry(L"A.TXT", L"a.txt");
    journals_.WriteFile(L"notes.txt", "not a journal");
    journals_.WriteFile(L"Run-1.journal", "not ours by name");
    std::vector<std::wstring> written;
    for (int run = 0; run < 12; ++run) {
        plan_.mode = run % 2 ? ModeUpper : ModeLower;
        written.push_back(Begin().path);
    }
    EXPECT_EQ(ListJournals(journals_.path()).size(), kKeptJournals);
    EXPECT_FALSE(PathExists(written[1]));
    EXPECT_TRUE(PathExists(written[2]));
    EXPECT_TRUE(PathExists(journals_ / L"notes.txt"));
    EXPECT_TRUE(PathExists(journals_ / L"Run-1.journal"));

    UndoOffer offer = FindUndoOffer(journals_.path());
    EXPECT_EQ(offer.journalPath, written[11]);
    EXPECT_EQ(offer.header.mode, ModeUpper);
    ASSERT_TRUE(RemoveJournal(offer.journalPath));
    EXPECT_EQ(FindUndoOffer(journals_.path()).journalPath, written[10]);
}

TEST_F(UndoRunTest, NoRunStartsWithoutADurableJournal)
{
    tree_.WriteFile(L"A.TXT");
    Entry(L"A.TXT", L"a.txt");
    steps_ = OrderRunSteps(plan_, L"test");
    RunJournalContext context;
    context.journalFolder = tree_ / L"A.TXT\\journals"; // under a file: cannot be made
    RunJournal journal;
    EXPECT_FALSE(BeginRunJournal(plan_, steps_, context, journal));
    EXPECT_TRUE(journal.path.empty());
    context.journalFolder.clear();
    EXPECT_FALSE(BeginRunJournal(plan_, steps_, context, journal));
}

TEST_F(UndoRunTest, OnlyUnfinishedRunsOfTheSameTreeAreTakenBackBeforeTheNextRun)
{
    TempFolder other;
    other.WriteFile(L"A.TXT", "a");
    plan_.root = ExtendedLengthPath(other.path());
    plan_.mode = ModeLower;
    Entry(L"A.TXT", L"a.txt");
    RunJournal ended = Begin();
    std::vector<StepResult> results = Apply(steps_.size());
    // A journal that cannot be completed (its completed copy is written beside it first, where a
    // folder stands) has its header marked ended in place: its run did end.
    std::wstring inTheWay = ended.path + L".tmp";
    ASSERT_TRUE(CreateDirectoryW(inTheWay.c_str(), nullptr));
    EXPECT_TRUE(EndRunJournal(ended, plan_, steps_, results));
    RemoveDirectoryW(inTheWay.c_str());
    JournalHeader header;
    ASSERT_TRUE(DecodeJournalHeader(ReadFileBytes(ended.path), header));
    EXPECT_EQ(header.state, JournalState::Ended);
    const std::wstring otherRoot = plan_.root;

    // A newer run of the tree, cut short after both its changes; one file edited since.
    tree_.WriteFile(L"B.TXT", "b");
    tree_.WriteFile(L"D.TXT", "d");
    plan_.root = ExtendedLengthPath(tree_.path());
    plan_.entries.clear();
    Entry(L"B.TXT", L"c.txt");
    Entry(L"D.TXT", L"e.txt");
    RunJournal cut = Begin();
    Apply(steps_.size());
    WriteFileBytes(tree_ / L"e.txt", "edited");
    ASSERT_EQ(ListNames(tree_.path()), (std::vector<std::wstring>{L"c.txt", L"e.txt"}));
    // While its process lives (another logon session), it holds its journal: no run takes it back.
    EXPECT_FALSE(TakeBackUnfinishedRuns(journals_.path(), plan_.root, UndoTarget(), RunHooks()));
    EXPECT_EQ(ListNames(tree_.path()), (std::vector<std::wstring>{L"c.txt", L"e.txt"}));
    cut.held.reset(); // the process ended

    // The next run over the other tree finds its own run ended and leaves this tree's alone.
    EXPECT_FALSE(TakeBackUnfinishedRuns(journals_.path(), otherRoot, UndoTarget(), RunHooks()));
    EXPECT_EQ(ListNames(other.path()), std::vector<std::wstring>{L"a.txt"});
    ASSERT_TRUE(DecodeJournalHeader(ReadFileBytes(cut.path), header));
    EXPECT_EQ(header.state, JournalState::Begun);
    // The next run over this tree takes back what it can; the rest stays for Undo, no longer as a
    // run cut short.
    EXPECT_FALSE(TakeBackUnfinishedRuns(journals_.path(), plan_.root + L"\\", UndoTarget(), RunHooks()));
    EXPECT_EQ(ListNames(tree_.path()), (std::vector<std::wstring>{L"B.TXT", L"e.txt"}));
    ASSERT_TRUE(DecodeJournalHeader(ReadFileBytes(cut.path), header));
    EXPECT_EQ(header.state, JournalState::Ended);
}
