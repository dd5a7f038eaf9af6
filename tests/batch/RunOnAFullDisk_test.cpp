// Runs on a volume that is full but for a few blocks, block by block: a run stops before its first
// change with nothing left behind or ends with a journal that reads whole; the numbering memory is
// saved whole or left as it was, and said so; a file renamed whose tag did not fit is told as such.
#include "BatchRun.h"
#include "FullVolume.h"
#include "JournalFormat.h"
#include "JournalStore.h"
#include "TempFolder.h"
#include "UndoOffer.h"
#include "UndoRun.h"
#include "Win32Text.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint64_t kMostBlocks = 64;

// The names of a folder with the bytes each holds.
std::vector<std::pair<std::wstring, std::string>> Contents(const std::wstring& folder)
{
    std::vector<std::pair<std::wstring, std::string>> contents;
    for (const std::wstring& name : ListNames(folder))
        contents.emplace_back(name, ReadFileBytes(folder + L"\\" + name));
    return contents;
}

class RunOnAFullDisk : public testing::Test {
protected:
    void SetUp() override
    {
        std::string unavailable = FullVolume::Unavailable();
        if (!unavailable.empty())
            GTEST_SKIP() << unavailable;
        volume_ = std::make_unique<FullVolume>();
    }

    std::unique_ptr<FullVolume> volume_;
};

} // namespace

TEST_F(RunOnAFullDisk, StopsBeforeItsFirstChangeOrEndsWithAJournalThatReadsWhole)
{
    const std::wstring journals = volume_->folder() + L"\\journals";
    ASSERT_TRUE(CreateDirectoryW(journals.c_str(), nullptr));
    bool refused = false;
    for (std::uint64_t free = 0;; free += FullVolume::kBlock) {
        ASSERT_LT(free, kMostBlocks * FullVolume::kBlock) << "never ran";
        TempFolder tree;
        for (int i = 0; i < 150; ++i)
            tree.WriteFile(L"PHOTO NUMBER " + std::to_wstring(i) + L".JPG");
        const std::vector<std::wstring> before = ListTree(tree.path());
        ASSERT_TRUE(volume_->LeaveFree(free));
        RunOptions options;
        options.mode = ModeLower;
        options.journalFolder = journals;
        RunOutcome outcome = BatchRun(tree.path(), options, RunHooks());
        volume_->Empty();
        if (outcome.result == BatchResult::JournalFailed) {
            refused = true;
            EXPECT_EQ(outcome.journalError, DWORD(ERROR_DISK_FULL)) << free;
            EXPECT_EQ(ListTree(tree.path()), before) << free;
            EXPECT_EQ(ListNames(journals), std::vector<std::wstring>()) << free;
            continue;
        }
        ASSERT_EQ(outcome.result, BatchResult::Completed) << free;
        EXPECT_EQ(outcome.done.renamed, before.size()) << free;
        std::vector<std::wstring> written = ListNames(journals);
        ASSERT_EQ(written.size(), 1u) << free;
        RunJournalData read;
        ASSERT_TRUE(DecodeJournal(ReadFileBytes(journals + L"\\" + written[0]), read)) << free;
        EXPECT_EQ(read.header.state, JournalState::Ended) << free;
        EXPECT_FALSE(read.damage.Any()) << free;
        EXPECT_EQ(read.results.size(), read.steps.size()) << free;
        break;
    }
    EXPECT_TRUE(refused) << "the journal fitted even with no room at all";
}

TEST_F(RunOnAFullDisk, TheNumberingMemoryIsSavedWholeOrLeftAsItWasAndSaidSo)
{
    const std::wstring start = volume_->folder() + L"\\start";
    TempFolder journals;
    bool failed = false;
    for (std::uint64_t free = 0;; free += FullVolume::kBlock) {
        ASSERT_LT(free, kMostBlocks * FullVolume::kBlock) << "never saved";
        TempFolder photos;
        for (int i = 0; i < 300; ++i)
            photos.WriteFile(L"IMG_" + std::to_wstring(1000 + i) + L".jpg");
        RemoveTree(start);
        ASSERT_TRUE(CreateDirectoryW(start.c_str(), nullptr));
        std::unique_ptr<NumberingHistory> history = LoadHistory(start);
        const auto before = Contents(start);
        ASSERT_TRUE(volume_->LeaveFree(free));
        RunOptions options;
        options.mode = ModeNumber;
        options.nameText = L"Trip";
        options.numberWidth = 4;
        options.journalFolder = journals.path();
        options.history = history.get();
        RunOutcome outcome = BatchRun(photos.path(), options, RunHooks());
        volume_->Empty();
        ASSERT_EQ(outcome.result, BatchResult::Completed) << free;
        EXPECT_EQ(outcome.done.renamed, 300u) << free;
        if (outcome.memoryError != ERROR_SUCCESS) {
            failed = true;
            EXPECT_EQ(outcome.memoryError, DWORD(ERROR_DISK_FULL)) << free;
            EXPECT_EQ(Contents(start), before) << free;
            EXPECT_EQ(FindExact(&history->records, photos.path()), nullptr) << free;
            if (free == 0) {
                // Undo on the disk still full takes the names back and finds the memory as it was.
                ASSERT_TRUE(volume_->LeaveFree(0));
                RunJournalData journal;
                ASSERT_TRUE(LoadJournal(FindUndoOffer(journals.path()).journalPath, journal));
                UndoTarget target;
                target.historyFile = start + L"\\Nomaro.stdb";
                EXPECT_TRUE(UndoJournal(journal, target).notUndone.empty());
                volume_->Empty();
                EXPECT_EQ(Contents(start), before);
                EXPECT_TRUE(PathExists(photos / L"IMG_1000.jpg"));
            }
            continue;
        }
        // Saved: the history on disk names the folder, and its index is there.
        std::unique_ptr<NumberingHistory> saved = LoadHistory(start);
        PathEntry* record = FindExact(&saved->records, photos.path());
        ASSERT_NE(record, nullptr) << free;
        EXPECT_EQ(RecordCount(*record), 300u) << free;
        ASSERT_TRUE(record->secondPath) << free;
        EXPECT_TRUE(PathExists(*record->secondPath)) << free;
        EXPECT_EQ(ListNames(start).size(), 2u) << free;
        break;
    }
    EXPECT_TRUE(failed) << "the memory fitted even with no room at all";
}

TEST_F(RunOnAFullDisk, AFileRenamedWhoseTagDidNotFitIsToldAsRenamed)
{
    const std::wstring tree = volume_->folder() + L"\\tree";
    ASSERT_TRUE(CreateDirectoryW(tree.c_str(), nullptr));
    // Whole blocks: a tag appended to it needs a block more.
    const std::string song(2 * FullVolume::kBlock, 's');
    ASSERT_TRUE(WriteFileBytes(tree + L"\\aligned.mp3", song));
    TempFolder journals;
    ASSERT_TRUE(volume_->LeaveFree(0));
    RunOptions options;
    options.mode = ModeNumber;
    options.nameText = L"Song";
    options.startNumber = 1;
    options.numberWidth = 1;
    options.fillTags = true;
    options.journalFolder = journals.path();
    RunOutcome outcome = BatchRun(tree, options, RunHooks());
    volume_->Empty();
    ASSERT_EQ(outcome.result, BatchResult::Completed);
    EXPECT_EQ(outcome.done.renamed, 1u);
    EXPECT_EQ(outcome.failures.count, 0u);
    ASSERT_EQ(outcome.changedInPart.count, 1u);
    EXPECT_EQ(outcome.changedInPart.firstPaths[0],
              L".\\aligned.mp3 renamed to Song1.mp3 (tag not written: " + SystemErrorText(ERROR_DISK_FULL) + L")");
    EXPECT_EQ(ReadFileBytes(tree + L"\\Song1.mp3"), song);
}
