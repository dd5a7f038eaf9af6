// Runs cut after every change they make to the disk, as a crash would cut them. A Lower run over
// folders and names that only the two-step rename changes, and a Number run of a resumed folder
// (tags appended and replaced, read-only files, a chain and a rotation through a temporary name,
// the index and the history rewritten) are counted first; then for every k, on fresh copies of
// the tree and the memory files, the run is stopped after its k-th change and
// (1) Undo, reading the disk as after a crash, gives back the tree byte for byte (names, bytes,
//     read-only marks, last-write times) and the memory files, nothing left under a temporary name;
// (2) a fresh run started after the cut leaves the tree and the memory as the uncut run leaves them.
// NOMARO_CUT_SCALE (default 6; tools/crashtest gives more) sets how big both trees are.
#include "BatchRun.h"
#include "BatchUndo.h"
#include "EntryState.h"
#include "ExtendedPath.h"
#include "HistoryFormat.h"
#include "HistoryStore.h"
#include "Id3v1Bytes.h"
#include "JournalRecords.h"
#include "JournalStore.h"
#include "TempFolder.h"
#include "TreeSnapshot.h"
#include "UniqueHandle.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <sstream>

namespace {

// Every file's last-write time before a run, so that every copy of a tree is the same.
constexpr FILETIME kBefore = {0x12345678, 0x01D90000};
constexpr wchar_t kIndexName[] = L"20240101000000.idx";

// How many times the trees' groups of entries are repeated: a few hundred cut points in all.
size_t Scale()
{
    const char* scale = std::getenv("NOMARO_CUT_SCALE");
    return scale && std::atoi(scale) > 0 ? static_cast<size_t>(std::atoi(scale)) : 6;
}

class RunCutTest : public testing::Test {
protected:
    // A file of the tree, written with the fixed time.
    void File(const std::wstring& relative, const std::string& bytes, bool readOnly = false) const
    {
        std::wstring root = ExtendedLengthPath(tree_);
        std::wstring path = root + L"\\" + relative;
        for (size_t slash = path.find(L'\\', root.size() + 1); slash != std::wstring::npos; slash = path.find(L'\\', slash + 1))
            CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
        ASSERT_TRUE(WriteFileBytes(path, bytes));
        UniqueFile file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file && SetFileTime(file.get(), nullptr, nullptr, &kBefore));
        if (readOnly) {
            ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
        }
    }

    // Groups of folders and files of upper-case names, each changed by a move through a temporary
    // name under Wine (case-only renames are ignored there), holding a read-only file and one that
    // keeps its name. A group in a folder of its own: Wine looks a name up by reading its folder.
    void MakeLowerTree(size_t scale) const
    {
        for (size_t r = 0; r < scale; ++r) {
            std::wstring group = r == 0 ? L"" : L"GROUP" + std::to_wstring(r) + L"\\";
            File(group + L"DIR\\A.TXT", "a");
            File(group + L"DIR\\Sub\\B.TXT", "b");
            File(group + L"DIR\\Sub\\keep.txt", "keep");
            File(group + L"DIR\\RO.TXT", "read-only", true);
            File(group + L"C.TXT", "c");
            File(group + L"ALONE.", "a name ending in a dot");
            File(group + L"Folder Two\\X.BIN", std::string("\0\x01\x02", 3));
        }
    }

    // A folder numbered before (9 numbers used, two of their files still there) whose new files
    // are numbered on from 9, the MP3 files first: T10.mp3 and T9.mp3 trade names through a
    // temporary name, T10's tag is replaced and T9's appended; a.JPG takes T11.jpg once T11.jpg
    // has moved on, and T13.JPG only changes case. Files sort by name within each extension.
    void MakeNumberTree(size_t scale) const
    {
        File(L"T0.jpg", "numbered before");
        File(L"T1.mp3", "numbered before");
        const Id3v1Tag tag = ComposeId3v1Tag("tAg", "old title");
        File(L"T10.mp3", std::string(300, 'm') + std::string(tag.data(), tag.size()), true);
        File(L"T9.mp3", std::string(200, 'n'));
        size_t extraMp3 = 2 * (scale - 1);
        for (size_t i = 0; i < extraMp3; ++i)
            File(L"X" + std::to_wstring(i) + L".MP3", std::string(150 + i, 'x'));
        size_t first = 11 + extraMp3; // the first number of the JPEG files
        File(L"a.JPG", "a", true);
        File(L"T" + std::to_wstring(first) + L".jpg", "moves on");
        File(L"T" + std::to_wstring(first + 2) + L".JPG", "case only");
        for (size_t i = 0; i < 2 * (scale - 1); ++i)
            File(L"Y" + std::to_wstring(i) + L".JPG", "more", i % 2 == 0);

        std::wstring index = start_ + L"\\" + kIndexName;
        PathList numbered;
        for (int i = 0; i < 9; ++i)
            Append(numbered, L".\\T" + std::to_wstring(i) + (i == 1 ? L".mp3" : L".jpg"));
        std::int32_t entries = 0;
        ASSERT_TRUE(WriteFileBytes(index, EncodeIndex(nullptr, numbered, entries)));
        PathList records;
        Append(records, tree_, entries, &index);
        ASSERT_TRUE(WriteFileBytes(start_ + L"\\Nomaro.stdb", EncodeHistory(records)));
    }

    RunOptions Options(OperationMode mode) const
    {
        RunOptions options;
        options.mode = mode;
        if (mode == ModeNumber) {
            options.extensions = L"mp3, jpg";
            options.nameText = L"T";
            options.numberWidth = 1;
            options.fillTags = true;
        }
        options.journalFolder = journals_;
        return options;
    }

    // Fresh copies of the tree and the memory files, and no journal.
    void MakeFresh(OperationMode mode, size_t scale = Scale()) const
    {
        for (const std::wstring& folder : {tree_, start_, journals_})
            RemoveTree(ExtendedLengthPath(folder));
        CreateDirectoryW(tree_.c_str(), nullptr);
        CreateDirectoryW(start_.c_str(), nullptr);
        if (mode == ModeNumber)
            MakeNumberTree(scale);
        else
            MakeLowerTree(scale);
    }

    // One run as a new process starts it (the memory read from disk, resuming where asked),
    // stopped after its cutAfter-th change (0: not stopped). Gives the number of changes made.
    size_t Run(OperationMode mode, size_t cutAfter) const
    {
        RunOptions options = Options(mode);
        std::unique_ptr<NumberingHistory> history = mode == ModeNumber ? LoadHistory(start_) : nullptr;
        options.history = history.get();
        RunHooks hooks;
        hooks.askResume = [] { return true; };
        size_t changes = 0;
        hooks.afterChange = [&changes, cutAfter] { return ++changes != cutAfter; };
        RunOutcome outcome = BatchRun(tree_, options, hooks);
        EXPECT_EQ(outcome.result, BatchResult::Completed);
        EXPECT_EQ(outcome.stopped, cutAfter != 0) << "cut after " << cutAfter;
        EXPECT_EQ(outcome.failures.count, 0u) << "cut after " << cutAfter;
        return changes;
    }

    // Undo of the newest run as the File menu makes it; journal is what was read of it.
    UndoOutcome Undo(RunJournalData& journal) const
    {
        UndoTarget target;
        target.historyFile = start_ + L"\\Nomaro.stdb";
        PreparedUndo undo = PrepareUndo(journals_, target, RunHooks());
        EXPECT_EQ(undo.state, UndoOfferState::Ready);
        journal = undo.journal;
        return ExecuteUndo(undo, RunHooks());
    }

    static TreeSnapshot Take(const std::wstring& root) { return SnapshotTree(root); }

    // The tree and the memory files now.
    using Both = std::pair<TreeSnapshot, TreeSnapshot>;
    Both TakeBoth() const { return {Take(tree_), Take(start_)}; }

    // The first difference between two snapshots, or nothing; times compared when asked.
    static std::string DifferenceIn(const TreeSnapshot& now, const TreeSnapshot& expected, bool times)
    {
        for (auto n = now.begin(), e = expected.begin(); n != now.end() || e != expected.end(); ++n, ++e) {
            if (n == now.end() || e == expected.end() || n->first != e->first)
                return "names differ at " + Narrow(n == now.end() ? e->first : n->first);
            const SnapshotEntry& a = n->second;
            const SnapshotEntry& b = e->second;
            if (a.folder != b.folder || a.bytes != b.bytes || a.readOnly != b.readOnly)
                return Narrow(n->first) + " differs";
            if (times && !a.folder && !SameFileTime(a.lastWrite, b.lastWrite))
                return Narrow(n->first) + ": another last-write time";
        }
        return std::string();
    }

    // The first difference in the tree (times compared when asked), then in the memory files.
    static std::string Difference(const Both& now, const Both& expected, bool treeTimes)
    {
        std::string difference = DifferenceIn(now.first, expected.first, treeTimes);
        return difference.empty() ? DifferenceIn(now.second, expected.second, false) : difference;
    }

    // Cuts the run of mode at every change and checks both ways back; gives the number of cuts.
    size_t CutEverywhere(OperationMode mode)
    {
        MakeFresh(mode);
        auto before = TakeBoth();
        size_t changes = Run(mode, 0);
        auto after = TakeBoth();
        std::vector<std::string> failed;
        for (size_t k = 1; k <= changes; ++k) {
            MakeFresh(mode);
            Run(mode, k);
            RunJournalData read;
            UndoReport report = Undo(read);
            auto undone = TakeBoth();
            std::string difference = Difference(undone, before, true);
            if (difference.empty() && !report.notUndone.empty())
                difference = std::to_string(report.notUndone.size()) + " not undone";
            if (!difference.empty())
                failed.push_back("cut after " + std::to_string(k) + ", undone: " + difference);

            // Undone as it must be, the copy is fresh again.
            if (!difference.empty())
                MakeFresh(mode);
            Run(mode, k);
            Run(mode, 0);
            difference = Difference(TakeBoth(), after, false);
            if (!difference.empty())
                failed.push_back("cut after " + std::to_string(k) + ", run again: " + difference);
        }
        std::ostringstream all;
        for (const std::string& failure : failed)
            all << "\n" << failure;
        EXPECT_TRUE(failed.empty()) << failed.size() << " of " << 2 * changes << " checks failed:" << all.str();
        std::cout << "[ cut points ] " << changes << " after each change of the run, each undone and run again\n";
        return changes;
    }

    TempFolder base_;
    const std::wstring tree_ = base_ / L"tree";
    const std::wstring start_ = base_ / L"start"; // where the memory files are
    const std::wstring journals_ = base_ / L"journals";
};

} // namespace

TEST_F(RunCutTest, LowerRunCutAfterEveryChangeIsUndoneOrCompleted)
{
    // Under Wine every rename here goes through a temporary name: two changes each.
    EXPECT_GE(CutEverywhere(ModeLower), 2 * 9 * Scale());
}

TEST_F(RunCutTest, NumberRunCutAfterEveryChangeIsUndoneOrCompleted)
{
    // Two read-only marks, two tags, the rotation's three moves, the chain's two, the case-only
    // move's three, the index, the history and the journal's end.
    EXPECT_GE(CutEverywhere(ModeNumber), 2 + 2 + 3 + 2 + 3 + 3);
}

TEST_F(RunCutTest, JournalTornInItsLastRecordsIsUndoneUpToTheLastWholeRecord)
{
    // The end record holds the outcomes and the tagged files' state after the run; the step
    // record before it, the last file's move. A journal is written whole and moved into place,
    // so only damage tears one; Undo must then act on the whole records alone. Each cut is of
    // the journal of a run made again on a fresh copy, whose records are as long.
    MakeFresh(ModeNumber, 1);
    auto before = TakeBoth();
    Run(ModeNumber, 0);
    auto after = TakeBoth();
    std::wstring path = FindUndoOffer(journals_).journalPath;
    const std::string whole = ReadFileBytes(path);
    RunJournalData read;
    ASSERT_TRUE(LoadJournal(path, read));
    const RunStep& last = read.steps.back();
    ASSERT_EQ(last.kind, StepKind::Move);
    const size_t rootLength = ExtendedLengthPath(tree_).size();
    const std::wstring from = L"." + last.path.substr(rootLength);
    const std::wstring to = L"." + last.newPath.substr(rootLength);
    std::vector<size_t> records = RecordOffsets(whole);
    ASSERT_GE(records.size(), 2u);
    const size_t lastStep = records[records.size() - 2];
    const size_t end = records.back();

    std::vector<std::string> failed;
    for (size_t length = lastStep; length < whole.size(); ++length) {
        MakeFresh(ModeNumber, 1);
        Run(ModeNumber, 0);
        path = FindUndoOffer(journals_).journalPath;
        const std::string bytes = ReadFileBytes(path);
        ASSERT_EQ(bytes.size(), whole.size());
        ASSERT_TRUE(WriteFileBytes(path, bytes.substr(0, length)));
        RunJournalData journal;
        Undo(journal);
        EXPECT_TRUE(journal.damage.cutShort) << length;
        // Cut in the last step's record, that move alone is not taken back: the file stays as the
        // run left it.
        Both expected = before;
        if (length < end) {
            expected.first.erase(from);
            expected.first[to] = after.first.at(to);
        }
        std::string difference = Difference(TakeBoth(), expected, true);
        if (!difference.empty())
            failed.push_back("cut at " + std::to_string(length) + ": " + difference);
    }
    EXPECT_TRUE(failed.empty()) << failed.size() << " cuts failed, the first: " << (failed.empty() ? "" : failed.front());
    std::cout << "[ torn journal ] " << whole.size() - lastStep << " cuts in its last two records\n";
}
