// Runs journaled and taken back over real files in a temp folder: the steps are made here as the
// engine makes them, then Undo must leave names, bytes, read-only marks, last-write times, the
// memory files and the Favorites order as they were, and skip what changed since.
#include "EntryState.h"
#include "ExtendedPath.h"
#include "FavoritesOrder.h"
#include "HistoryFormat.h"
#include "Id3v1Tag.h"
#include "JournalStore.h"
#include "RunJournal.h"
#include "TempFolder.h"
#include "UndoRun.h"
#include "UniqueHandle.h"

#include <gtest/gtest.h>

#include <map>

namespace {

struct FileSnapshot {
    std::string bytes;
    bool readOnly = false;
    FILETIME lastWrite{};
};
using TreeSnapshot = std::map<std::wstring, FileSnapshot>;

class UndoRunTest : public testing::Test {
protected:
    void SetUp() override
    {
        testKey_ = L"Software\\Kestrith\\NomaroUndoTest-" + std::to_wstring(GetCurrentProcessId());
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

    // A plan entry for what is on disk now.
    std::int32_t Entry(const std::wstring& relative, const std::wstring& tagText = {})
    {
        EntryState state = ReadEntryState(Full(relative));
        PlannedEntry entry;
        entry.path = L".\\" + relative;
        entry.isFolder = state.IsFolder();
        entry.attributes = state.attributes;
        entry.size = state.size;
        entry.lastWrite = state.lastWrite;
        entry.writeTag = !tagText.empty();
        if (entry.writeTag)
            entry.newName = tagText + L".mp3";
        entry.status = PlanStatus::WillChange;
        plan_.entries.push_back(entry);
        return static_cast<std::int32_t>(plan_.entries.size() - 1);
    }
    void Move(std::int32_t entry, const std::wstring& from, const std::wstring& to, const std::wstring& through = {})
    {
        RunStep step;
        step.entry = entry;
        step.path = Full(from);
        step.newPath = Full(to);
        step.temporaryPath = through.empty() ? std::wstring() : Full(through);
        steps_.push_back(step);
    }
    void Other(StepKind kind, std::int32_t entry, const std::wstring& relative)
    {
        RunStep step;
        step.kind = kind;
        step.entry = entry;
        step.path = Full(relative);
        step.attributes = ReadEntryState(step.path).attributes;
        steps_.push_back(step);
    }

    RunJournal Begin(const RunJournalContext& base = {})
    {
        RunJournalContext context = base;
        context.journalFolder = journals_.path();
        context.favoritesRoot = favoritesRoot_.get();
        RunJournal journal;
        EXPECT_TRUE(BeginRunJournal(plan_, steps_, context, journal));
        EXPECT_FALSE(journal.path.empty());
        return journal;
    }

    // Makes the first count steps as the engine does; a case-only move goes through its temporary
    // name, and cutLastShort stops the last step there, as a kill in its middle would.
    std::vector<StepResult> Apply(size_t count, bool cutLastShort = false)
    {
        std::vector<StepResult> results(steps_.size());
        for (size_t i = 0; i < count; ++i) {
            const RunStep& step = steps_[i];
            bool done = true;
            if (step.kind == StepKind::ClearReadOnly) {
                DWORD left = step.attributes & ~FILE_ATTRIBUTE_READONLY;
                done = SetFileAttributesW(step.path.c_str(), left ? left : FILE_ATTRIBUTE_NORMAL) != FALSE;
            } else if (step.kind == StepKind::WriteTag) {
                StampId3v1Tag(step.path, plan_.entries[static_cast<size_t>(step.entry)].TagText());
            } else if (step.temporaryPath.empty()) {
                done = MoveFileExW(step.path.c_str(), step.newPath.c_str(), 0) != FALSE;
            } else {
                done = MoveFileExW(step.path.c_str(), step.temporaryPath.c_str(), 0) &&
                       (cutLastShort && i + 1 == count ? false
                                                       : MoveFileExW(step.temporaryPath.c_str(), step.newPath.c_str(), 0));
            }
            EXPECT_TRUE(done || (cutLastShort && i + 1 == count)) << i;
            results[i].outcome = done ? StepOutcome::Done : StepOutcome::Failed;
        }
        return results;
    }

    UndoReport Undo()
    {
        UndoOffer offer = FindUndoOffer(journals_.path());
        EXPECT_FALSE(offer.journalPath.empty());
        RunJournalData journal;
        EXPECT_TRUE(LoadJournal(offer.journalPath, journal));
        UndoReport report = UndoJournal(journal, {memory_ / L"Nomaro.stdb", favoritesRoot_.get()});
        EXPECT_TRUE(RemoveJournal(offer.journalPath));
        return report;
    }

    TreeSnapshot Snapshot() const
    {
        TreeSnapshot snapshot;
        for (const std::wstring& relative : ListTree(tree_.path())) {
            std::wstring path = tree_.path() + relative.substr(1);
            EntryState state = ReadEntryState(path);
            FileSnapshot file;
            if (!state.IsFolder()) {
                file.bytes = ReadFileBytes(path);
                file.readOnly = (state.attributes & FILE_ATTRIBUTE_READONLY) != 0;
                file.lastWrite = state.lastWrite;
            }
            snapshot[relative] = file;
        }
        return snapshot;
    }

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
    std::vector<RunStep> steps_;
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
    std::int32_t fresh = Entry(L"new.JPG");
    std::int32_t p0 = Entry(L"P0.jpg");
    std::int32_t p1 = Entry(L"P1.jpg");
    std::int32_t song = Entry(L"Song.MP3", L"P3");
    std::int32_t b = Entry(L"b.mp3", L"P4");
    Other(StepKind::ClearReadOnly, fresh, L"new.JPG");
    Move(p1, L"P1.jpg", L"P2.jpg");
    Move(p0, L"P0.jpg", L"P1.jpg");
    Move(fresh, L"new.JPG", L"P0.jpg");
    Other(StepKind::WriteTag, song, L"Song.MP3");
    Move(song, L"Song.MP3", L"P3.mp3");
    Other(StepKind::WriteTag, b, L"b.mp3");
    Move(b, L"b.mp3", L"P4.mp3");

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
    EXPECT_TRUE(FindUndoOffer(journals_.path()).journalPath.empty());
}

TEST_F(UndoRunTest, RunKilledHalfWayIsTakenBackFromWhatIsOnDisk)
{
    tree_.WriteFile(L"DIR\\X.TXT", "x");
    tree_.WriteFile(L"B.TXT", "b");
    tree_.WriteFile(L"C.TXT", "c");
    tree_.WriteFile(L"D.TXT", "d");
    TreeSnapshot before = Snapshot();
    plan_.mode = ModeLower;
    Move(Entry(L"DIR"), L"DIR", L"dir", L"~t0.tmp");
    Move(Entry(L"DIR\\X.TXT"), L"dir\\X.TXT", L"dir\\x.txt", L"dir\\~t1.tmp");
    Move(Entry(L"B.TXT"), L"B.TXT", L"b.txt", L"~t2.tmp");
    Move(Entry(L"C.TXT"), L"C.TXT", L"c.txt", L"~t3.tmp");
    Move(Entry(L"D.TXT"), L"D.TXT", L"d.txt", L"~t4.tmp");

    Begin();
    // Killed while C.TXT stood under its temporary name; D.TXT was never reached.
    Apply(4, true);
    ASSERT_TRUE(PathExists(tree_ / L"~t3.tmp"));

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
    Move(Entry(L"a.txt"), L"a.txt", L"N0.txt");
    Move(Entry(L"b.txt"), L"b.txt", L"N1.txt");
    Move(Entry(L"c.txt"), L"c.txt", L"N2.txt");
    RunJournal journal = Begin();
    EndRunJournal(journal, plan_, steps_, Apply(steps_.size()));

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
    Move(Entry(L"Links"), L"Links", L"links", L"~t0.tmp");
    RunJournalContext context;
    context.favoritesOrder = true;
    RunJournal journal = Begin(context);
    EndRunJournal(journal, plan_, steps_, Apply(steps_.size()));
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

TEST_F(UndoRunTest, TheNewestTenJournalsAreKeptAndOfferedNewestFirst)
{
    tree_.WriteFile(L"A.TXT");
    Move(Entry(L"A.TXT"), L"A.TXT", L"a.txt");
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
    Move(Entry(L"A.TXT"), L"A.TXT", L"a.txt");
    RunJournalContext context;
    context.journalFolder = tree_ / L"A.TXT\\journals"; // under a file: cannot be made
    RunJournal journal;
    EXPECT_FALSE(BeginRunJournal(plan_, steps_, context, journal));
    EXPECT_TRUE(journal.path.empty());
    context.journalFolder.clear();
    EXPECT_FALSE(BeginRunJournal(plan_, steps_, context, journal));
}
