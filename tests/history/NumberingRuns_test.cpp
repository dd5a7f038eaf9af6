// Whole numbering runs over real folders with the history on disk: the first run, then a
// resumed run after files were added, answered Yes and No.
#include "BatchRun.h"
#include "HistoryStore.h"
#include "JournalStore.h"
#include "RecordBytes.h"
#include "ScratchRegistry.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

// Runs keep their undo journals in the user's local application data: here a folder of the run's own.
const testing::Environment* const kScratchRegistry = RedirectRegistryForTheRun({{HKEY_CURRENT_USER, {}}});

namespace {

class NumberingRunsTest : public testing::Test {
protected:
    void SetUp() override { UseStartFolder(start_.path()); }

    void UseStartFolder(const std::wstring& folder)
    {
        startFolder_ = folder;
        history_ = LoadHistory(folder);
    }
    std::wstring HistoryFile() const { return startFolder_ + L"\\Nomaro.stdb"; }

    // One run as the Start command makes it: no name text, no extension list; the resume question
    // answered with answer. Gives how often it was asked; what the run did is left in outcome_.
    int Run(std::uint32_t startNumber, std::int32_t width, bool answer = false)
    {
        int questions = 0;
        RunHooks hooks;
        hooks.askResume = [&questions, answer] {
            ++questions;
            return answer;
        };
        outcome_ = BatchRun(photos_.path(), Options(startNumber, width), hooks);
        EXPECT_EQ(outcome_.result, BatchResult::Completed);
        return questions;
    }

    RunOptions Options(std::uint32_t startNumber, std::int32_t width) const
    {
        RunOptions options;
        options.mode = ModeNumber;
        options.startNumber = startNumber;
        options.numberWidth = width;
        options.journalFolder = UserJournalFolder();
        options.history = history_.get();
        return options;
    }

    std::wstring IndexPath() const
    {
        PathEntry* record = FindExact(&history_->records, photos_.path());
        return record && record->secondPath ? *record->secondPath : std::wstring();
    }

    std::string IndexBytesOf(const std::vector<std::wstring>& paths) const
    {
        std::string bytes;
        for (const std::wstring& path : paths)
            bytes += StringBytes(path);
        return bytes;
    }

    TempFolder start_;
    TempFolder photos_;
    std::wstring startFolder_;
    std::unique_ptr<NumberingHistory> history_;
    RunOutcome outcome_;
};

// The sorted names of the folder's files with the content each holds.
std::vector<std::pair<std::wstring, std::string>> Contents(const std::wstring& folder)
{
    std::vector<std::pair<std::wstring, std::string>> contents;
    for (const std::wstring& name : ListNames(folder))
        contents.emplace_back(name, ReadFileBytes(folder + L"\\" + name));
    return contents;
}

} // namespace

TEST_F(NumberingRunsTest, FirstRunThenResumedRunNumbersOnlyTheNewFiles)
{
    for (int i = 0; i < 5; ++i)
        photos_.WriteFile(L"IMG_" + std::to_wstring(i) + L".JPG", "old");

    EXPECT_EQ(Run(0, 6), 0);
    EXPECT_EQ(ListNames(photos_.path()), (std::vector<std::wstring>{L"000000.jpg", L"000001.jpg", L"000002.jpg",
                                                                     L"000003.jpg", L"000004.jpg"}));
    std::wstring index = IndexPath();
    ASSERT_FALSE(index.empty());
    std::vector<std::wstring> firstEntries = {L".\\000000.jpg", L".\\000001.jpg", L".\\000002.jpg", L".\\000003.jpg",
                                              L".\\000004.jpg"};
    EXPECT_EQ(ReadFileBytes(index), IndexBytesOf(firstEntries));
    EXPECT_EQ(ReadFileBytes(HistoryFile()), HistoryRecordBytes(5, photos_.path(), index));

    photos_.WriteFile(L"new_a.PNG", "new");
    photos_.WriteFile(L"sub\\new_b.jpg", "new");
    EXPECT_EQ(Run(0, 6, true), 1);

    // The two new files got 5 and 6 in walk order; the old ones kept their names.
    bool pngFirst = PathExists(photos_ / L"000005.png");
    std::wstring png = pngFirst ? L".\\000005.png" : L".\\000006.png";
    std::wstring jpg = pngFirst ? L".\\sub\\000006.jpg" : L".\\sub\\000005.jpg";
    EXPECT_EQ(ReadFileBytes(photos_.path() + png.substr(1)), "new");
    EXPECT_EQ(ReadFileBytes(photos_.path() + jpg.substr(1)), "new");
    for (const std::wstring& old : firstEntries)
        EXPECT_EQ(ReadFileBytes(photos_.path() + old.substr(1)), "old");
    std::vector<std::wstring> allEntries = firstEntries;
    allEntries.push_back(pngFirst ? png : jpg);
    allEntries.push_back(pngFirst ? jpg : png);
    EXPECT_EQ(ReadFileBytes(index), IndexBytesOf(allEntries));
    EXPECT_EQ(ReadFileBytes(HistoryFile()), HistoryRecordBytes(7, photos_.path(), index));
    EXPECT_EQ(EntryCount(history_->records), 1u);

    // Nothing new: the index keeps every entry and the count stays.
    EXPECT_EQ(Run(0, 6, true), 1);
    EXPECT_EQ(ReadFileBytes(index), IndexBytesOf(allEntries));
    EXPECT_EQ(ReadFileBytes(HistoryFile()), HistoryRecordBytes(7, photos_.path(), index));
}

TEST_F(NumberingRunsTest, ResumedRunAnsweredNoNumbersEverythingFromTheTypedStart)
{
    for (int i = 0; i < 3; ++i)
        photos_.WriteFile(L"f" + std::to_wstring(i) + L".txt", "x");
    Run(0, 2);
    std::wstring index = IndexPath();
    EXPECT_EQ(ListNames(photos_.path()), (std::vector<std::wstring>{L"00.txt", L"01.txt", L"02.txt"}));

    photos_.WriteFile(L"g.txt", "y");
    EXPECT_EQ(Run(10, 3, false), 1);
    std::vector<std::wstring> names = ListNames(photos_.path());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"010.txt", L"011.txt", L"012.txt", L"013.txt"}));
    // The index holds this run's four new names only, in rename order.
    std::string bytes = ReadFileBytes(index);
    EXPECT_EQ(bytes.size(), 4 * StringBytes(L".\\010.txt").size());
    for (const std::wstring& name : names)
        EXPECT_NE(bytes.find(StringBytes(L".\\" + name)), std::string::npos) << Narrow(name);
    EXPECT_EQ(bytes.substr(0, StringBytes(L".\\010.txt").size()), StringBytes(L".\\010.txt"));
    EXPECT_EQ(ReadFileBytes(HistoryFile()), HistoryRecordBytes(4, photos_.path(), index));
}

TEST_F(NumberingRunsTest, ResumeAtAStartAboveZeroRepeatsNamesWhichAreReportedNotPostponed)
{
    photos_.WriteFile(L"a.txt", "a");
    photos_.WriteFile(L"b.txt", "b");
    Run(5, 1);
    EXPECT_EQ(ListNames(photos_.path()), (std::vector<std::wstring>{L"5.txt", L"6.txt"}));
    photos_.WriteFile(L"c.txt", "c");
    photos_.WriteFile(L"d.txt", "d");
    photos_.WriteFile(L"e.txt", "e");
    photos_.WriteFile(L"f.txt", "f");
    // Resuming starts at the count, 2: numbers 2 to 5, and 5.txt is taken.
    EXPECT_EQ(Run(5, 1, true), 1);
    EXPECT_EQ(outcome_.failures.count, 1u);
    EXPECT_FALSE(outcome_.RestartNeeded());
    EXPECT_EQ(ListNames(photos_.path()).size(), 6u);
    EXPECT_TRUE(PathExists(photos_ / L"2.txt"));
    EXPECT_TRUE(PathExists(photos_ / L"3.txt"));
    EXPECT_TRUE(PathExists(photos_ / L"4.txt"));
    EXPECT_EQ(Contents(photos_.path()).size(), 6u);
    // The taken number is still used up and recorded.
    PathEntry* record = FindExact(&history_->records, photos_.path());
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->count, 6);
}

TEST_F(NumberingRunsTest, DeletedIndexMeansNoQuestionAndANewIndex)
{
    photos_.WriteFile(L"a.txt");
    Run(0, 1);
    std::wstring index = IndexPath();
    ASSERT_TRUE(DeleteFileW(index.c_str()));
    photos_.WriteFile(L"b.txt");
    EXPECT_EQ(Run(7, 1, true), 0);
    EXPECT_EQ(ListNames(photos_.path()).size(), 2u);
    EXPECT_TRUE(PathExists(photos_ / L"7.txt"));
    EXPECT_TRUE(PathExists(photos_ / L"8.txt"));
    EXPECT_EQ(IndexPath(), index);
    EXPECT_EQ(ReadFileBytes(index).size(), 2 * StringBytes(L".\\7.txt").size());
}

TEST_F(NumberingRunsTest, HistoryFilesInsideTheNumberedTreeKeepTheirNames)
{
    // Started from a folder inside the tree it numbers: the history lives among the photos.
    CreateDirectoryW((photos_ / L"Tools").c_str(), nullptr);
    UseStartFolder(photos_ / L"Tools");
    photos_.WriteFile(L"a.jpg", "a");
    photos_.WriteFile(L"Tools\\Nomaro.exe", "exe");
    photos_.WriteFile(L"Tools\\Nomaro.stdb.bak", "old");
    photos_.WriteFile(L"Tools\\mine.idx", "users own");

    Run(0, 1);
    std::wstring index = IndexPath();
    std::vector<std::wstring> tools = ListNames(startFolder_);
    // Three files numbered: a.jpg, Nomaro.exe and the user's own mine.idx; the history's are not.
    EXPECT_EQ(ReadFileBytes(HistoryFile()), HistoryRecordBytes(3, photos_.path(), index));
    EXPECT_EQ(ReadFileBytes(photos_ / L"Tools\\Nomaro.stdb.bak"), "old");
    ASSERT_EQ(tools.size(), 5u);
    EXPECT_TRUE(std::find(tools.begin(), tools.end(), L"Nomaro.stdb") != tools.end());
    EXPECT_TRUE(std::find(tools.begin(), tools.end(), L"Nomaro.stdb.bak") != tools.end());
    EXPECT_TRUE(std::find(tools.begin(), tools.end(), index.substr(startFolder_.size() + 1)) != tools.end());
    size_t entryBytes = 0;
    for (const std::wstring& name : ListNames(photos_.path())) {
        if (name != L"Tools")
            entryBytes += StringBytes(L".\\" + name).size();
    }
    int numberedTools = 0;
    for (const std::wstring& name : tools) {
        std::string content = ReadFileBytes(startFolder_ + L"\\" + name);
        if (content == "exe" || content == "users own") {
            entryBytes += StringBytes(L".\\Tools\\" + name).size();
            ++numberedTools;
        }
    }
    EXPECT_EQ(numberedTools, 2);
    EXPECT_EQ(ReadFileBytes(index).size(), entryBytes);

    // The next run finds its index where it left it and resumes.
    photos_.WriteFile(L"b.jpg", "b");
    EXPECT_EQ(Run(0, 1, true), 1);
    EXPECT_EQ(ReadFileBytes(photos_ / L"3.jpg"), "b");
    EXPECT_EQ(ReadFileBytes(HistoryFile()), HistoryRecordBytes(4, photos_.path(), index));
}

TEST_F(NumberingRunsTest, RecordWithARelativeIndexNameGetsAFreshIndexAndLeavesTheFolderAlone)
{
    // A damaged history: the folder's record names no index file at all.
    ASSERT_TRUE(WriteFileBytes(HistoryFile(), HistoryRecordBytes(3, photos_.path(), L"")));
    UseStartFolder(start_.path());
    photos_.WriteFile(L"IMG_1.JPG", "photo");
    start_.WriteFile(L".tmp", "kept");
    photos_.WriteFile(L".tmp", "kept");
    // Hidden, so that the run itself does not number it (Wine hides dot files anyway).
    SetFileAttributesW((photos_ / L".tmp").c_str(), FILE_ATTRIBUTE_HIDDEN);

    EXPECT_EQ(Run(0, 4), 0);

    std::wstring index = IndexPath();
    EXPECT_EQ(index.rfind(start_.path() + L"\\", 0), 0u) << Narrow(index);
    EXPECT_EQ(ReadFileBytes(index), StringBytes(L".\\0000.jpg"));
    EXPECT_EQ(ReadFileBytes(photos_ / L".tmp"), "kept");
    EXPECT_EQ(ReadFileBytes(start_ / L".tmp"), "kept");
}
