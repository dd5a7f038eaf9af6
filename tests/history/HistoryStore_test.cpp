// The history and index files on disk: loading, saving, backups, index names, the folder's
// own record and the answer to the resume question.
#include "HistoryStore.h"
#include "IndexFileName.h"
#include "RecordBytes.h"
#include "TempFolder.h"
#include "UniqueHandle.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class HistoryStoreTest : public testing::Test {
protected:
    std::wstring HistoryFile() const { return start_ / L"Nomaro.stdb"; }
    std::wstring HistoryBackupPath() const { return HistoryFile() + L".bak"; }
    std::string HistoryBytes() const { return ReadFileBytes(HistoryFile()); }
    void Load() { history_ = LoadHistory(start_.path()); }

    // A history whose one record is folder, with count and an index file holding entries.
    std::wstring RecordFolder(const std::wstring& folder, std::uint32_t count, const std::string& indexBytes,
                              const std::wstring& indexName = L"20120101000000.idx")
    {
        std::wstring index = start_ / indexName;
        WriteFileBytes(index, indexBytes);
        WriteFileBytes(HistoryFile(), HistoryRecordBytes(count, folder, index));
        Load();
        return index;
    }

    // Begins numbering folder with the resume question answered answer; asked counts the questions.
    NumberingSession Begin(const std::wstring& folder, bool answer = true)
    {
        return BeginNumbering(*history_, folder, [this, answer] {
            ++asked_;
            return answer;
        });
    }

    // Ends the session with the numbered paths given.
    void End(NumberingSession& session, const std::vector<std::wstring>& numbered)
    {
        PathList list;
        for (const std::wstring& path : numbered)
            Append(list, path);
        EndNumbering(*history_, session, PathsOf(list));
    }

    TempFolder start_;
    std::unique_ptr<NumberingHistory> history_;
    int asked_ = 0;
};

std::vector<std::wstring> Paths(const PathList* list)
{
    std::vector<std::wstring> paths;
    for (PathEntry* entry = list ? list->head : nullptr; entry; entry = entry->next)
        paths.push_back(entry->path);
    return paths;
}

SYSTEMTIME Time(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME time{};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    return time;
}

// StartDirectory\ followed by 14 digits and ".idx".
bool IsIndexName(const std::wstring& path, const std::wstring& startDirectory)
{
    if (path.size() != startDirectory.size() + 1 + 14 + 4 || path.compare(0, startDirectory.size(), startDirectory) != 0)
        return false;
    std::wstring name = path.substr(startDirectory.size() + 1);
    for (size_t i = 0; i < 14; ++i) {
        if (name[i] < L'0' || name[i] > L'9')
            return false;
    }
    return name.substr(14) == L".idx";
}

struct LinkedStart {
    std::wstring start; // empty when no link can be made
    std::wstring tree;  // its subfolder Tools leads to start
};

// Made in scratch with CreateSymbolicLinkW where the platform can, else the pair the Wine test
// environment prepared (a Unix link, which Wine presents as the folder it leads to).
LinkedStart MakeLinkedStart(const TempFolder& scratch)
{
    scratch.MakeFolder(L"start");
    scratch.MakeFolder(L"tree");
    if (CreateSymbolicLinkW((scratch / L"tree\\Tools").c_str(), (scratch / L"start").c_str(),
                            SYMBOLIC_LINK_FLAG_DIRECTORY) &&
        PathExists(scratch / L"tree\\Tools"))
        return {scratch / L"start", scratch / L"tree"};
    std::wstring prepared = PreparedFixture(L"linked");
    if (prepared.empty() || !PathExists(prepared + L"\\tree\\Tools"))
        return {};
    return {prepared + L"\\start", prepared + L"\\tree"};
}

} // namespace

TEST_F(HistoryStoreTest, MissingHistoryFileIsCreatedEmpty)
{
    ASSERT_FALSE(PathExists(HistoryFile()));
    Load();
    EXPECT_EQ(EntryCount(history_->records), 0u);
    EXPECT_TRUE(PathExists(HistoryFile()));
    EXPECT_EQ(HistoryBytes(), "");
    SaveHistory(*history_);
    EXPECT_EQ(HistoryBytes(), "");
    EXPECT_EQ(ListNames(start_.path()), (std::vector<std::wstring>{L"Nomaro.stdb"}));
}

TEST_F(HistoryStoreTest, ThreeRecordsLoadInFileOrderAndSaveByteForByte)
{
    std::string bytes = HistoryRecordBytes(5, L"D:\\Photos", L"C:\\Tools\\20121105093007.idx") +
                        HistoryRecordBytes(70000, L"E:\\M\u00fcsik", L"C:\\Tools\\20121105093008.idx") +
                        HistoryRecordBytes(0, L"F:\\x", L"C:\\Tools\\20121106000000.idx");
    WriteFileBytes(HistoryFile(), bytes);
    Load();
    ASSERT_EQ(EntryCount(history_->records), 3u);
    EXPECT_EQ(Paths(&history_->records), (std::vector<std::wstring>{L"D:\\Photos", L"E:\\M\u00fcsik", L"F:\\x"}));
    EXPECT_EQ(history_->records.head->next->count, 70000);
    SaveHistory(*history_);
    EXPECT_EQ(HistoryBytes(), bytes);
    // Nothing left beside it: no backup of a file that was read whole, no temporary file.
    EXPECT_EQ(ListNames(start_.path()), (std::vector<std::wstring>{L"Nomaro.stdb"}));
}

TEST_F(HistoryStoreTest, HistoryIsSavedOnlyIntoAnExistingFile)
{
    Load();
    NumberingSession session = Begin(L"D:\\Photos");
    // The user removed the history file while Nomaro ran: memory is switched off, no index is written.
    DeleteFileW(HistoryFile().c_str());
    End(session, {L".\\x.jpg"});
    EXPECT_EQ(EntryCount(history_->records), 0u);
    std::wstring index = L"C:\\i.idx";
    Append(history_->records, L"D:\\Photos", 2, &index);
    SaveHistory(*history_);
    EXPECT_FALSE(PathExists(HistoryFile()));
    EXPECT_TRUE(ListNames(start_.path()).empty());
}

TEST_F(HistoryStoreTest, FileNotReadWholeIsBackedUpBeforeItIsFirstRewritten)
{
    std::string good = HistoryRecordBytes(4, L"D:\\A", L"C:\\a.idx") + HistoryRecordBytes(9, L"D:\\B", L"C:\\b.idx");
    std::string damaged[] = {
        good + HistoryRecordBytes(3, L"D:\\C", L"C:\\c.idx").substr(0, 13), // cut short
        good + HistoryRecordBytes(3, std::wstring(1024, L'c'), L"C:\\c.idx"),  // over-long string
        good + Int32Bytes(1) + Int32Bytes(0x7FFFFFFF) + "xy",                  // length past the end
        good + "\x01",                                                        // a stray byte
    };
    for (const std::string& bytes : damaged) {
        DeleteFileW(HistoryBackupPath().c_str());
        WriteFileBytes(HistoryFile(), bytes);
        Load();
        EXPECT_EQ(Paths(&history_->records), (std::vector<std::wstring>{L"D:\\A", L"D:\\B"}));
        EXPECT_FALSE(PathExists(HistoryBackupPath()));
        SaveHistory(*history_);
        EXPECT_EQ(ReadFileBytes(HistoryBackupPath()), bytes);
        EXPECT_EQ(HistoryBytes(), good);
        // Later saves leave the backup alone.
        std::wstring index = L"C:\\d.idx";
        Append(history_->records, L"D:\\D", 1, &index);
        SaveHistory(*history_);
        EXPECT_EQ(ReadFileBytes(HistoryBackupPath()), bytes);
        EXPECT_EQ(HistoryBytes(), good + HistoryRecordBytes(1, L"D:\\D", index));
    }
}

TEST_F(HistoryStoreTest, IndexNamesAreTheLocalTimeAndNeverShared)
{
    SYSTEMTIME time = Time(2012, 11, 5, 9, 30, 7);
    EXPECT_EQ(FormatIndexFileName(L"C:\\Tools", time), L"C:\\Tools\\20121105093007.idx");
    EXPECT_EQ(FormatIndexFileName(L"C:\\Tools", Time(987, 1, 2, 3, 4, 5)), L"C:\\Tools\\98701020304" L"05.idx");

    // Taken by another record (in any ASCII case), then by an existing file: the next free second.
    PathList store;
    std::wstring recorded = start_.path() + L"\\20121105093007.IDX";
    Append(store, L"D:\\Other", 3, &recorded);
    WriteFileBytes(start_ / L"20121105093008.idx", "");
    EXPECT_EQ(NewIndexFileName(&store, start_.path(), time), start_ / L"20121105093009.idx");
    EXPECT_EQ(NewIndexFileName(nullptr, start_.path(), time), start_ / L"20121105093007.idx");
    // The next second may be in the next year.
    WriteFileBytes(start_ / L"20121231235959.idx", "");
    EXPECT_EQ(NewIndexFileName(&store, start_.path(), Time(2012, 12, 31, 23, 59, 59)), start_ / L"20130101000000.idx");
}

TEST_F(HistoryStoreTest, NewFolderJoinsTheHistoryOnlyWhenItsRunEnds)
{
    Load();
    SYSTEMTIME before;
    GetLocalTime(&before);
    // No question, no exclusions, no record yet: OnlyTheFolderOwnRecordIsTaken.
    NumberingSession session = Begin(L"D:\\Photos");
    EXPECT_FALSE(session.resumed);
    EXPECT_TRUE(IsIndexName(session.indexPath, start_.path())) << Narrow(session.indexPath);
    // The name is the time of the call.
    std::wstring first = session.indexPath.substr(start_.path().size() + 1, 14);
    EXPECT_GE(first, FormatIndexFileName(L"", before).substr(1, 14));
    // A run that is planned and never applied leaves nothing: no record, no index file.
    EXPECT_EQ(EntryCount(history_->records), 0u);
    SaveHistory(*history_);
    EXPECT_EQ(HistoryBytes(), "");
    EXPECT_EQ(ListNames(start_.path()), (std::vector<std::wstring>{L"Nomaro.stdb"}));

    // Its end writes the index and adds the record with its count; folders ended within the same
    // second still get index files of their own.
    End(session, {L".\\a.jpg"});
    std::vector<std::wstring> names = {session.indexPath};
    Begin(L"D:\\Dropped"); // a Preview closed with Close: it leaves no trace for a later run's end either
    for (const wchar_t* folder : {L"D:\\Music", L"D:\\Video", L"D:\\Docs"}) {
        NumberingSession other = Begin(folder);
        End(other, {});
        names.push_back(other.indexPath);
    }
    ASSERT_EQ(EntryCount(history_->records), 4u);
    EXPECT_EQ(ListNames(start_.path()).size(), 5u); // the history and the four index files
    EXPECT_EQ(history_->records.head->path, L"D:\\Photos");
    EXPECT_EQ(history_->records.head->count, 1);
    std::vector<std::wstring> sorted = names;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::unique(sorted.begin(), sorted.end()), sorted.end());
    EXPECT_EQ(ReadFileBytes(names[0]), StringBytes(L".\\a.jpg"));
    SaveHistory(*history_);
    EXPECT_EQ(HistoryBytes().substr(0, HistoryRecordBytes(1, L"D:\\Photos", names[0]).size()),
              HistoryRecordBytes(1, L"D:\\Photos", names[0]));
}

TEST_F(HistoryStoreTest, OnlyTheFolderOwnRecordIsTaken)
{
    std::wstring subIndex = start_ / L"20110101000000.idx";
    std::wstring siblingIndex = start_ / L"20110101000001.idx";
    WriteFileBytes(subIndex, StringBytes(L".\\Sub0.jpg"));
    WriteFileBytes(siblingIndex, StringBytes(L".\\Sib0.jpg"));
    WriteFileBytes(HistoryFile(), HistoryRecordBytes(1, L"D:\\Photos\\2011", subIndex) +
                                      HistoryRecordBytes(1, L"D:\\Photos 2011", siblingIndex));
    Load();
    NumberingSession session = Begin(L"D:\\Photos");
    EXPECT_EQ(session.exclusions, nullptr);
    EXPECT_EQ(asked_, 0);
    EXPECT_EQ(session.record, nullptr);
    EXPECT_NE(session.indexPath, subIndex);
    EXPECT_NE(session.indexPath, siblingIndex);
    End(session, {});
    ASSERT_EQ(EntryCount(history_->records), 3u);
    EXPECT_EQ(history_->records.tail->path, L"D:\\Photos");

    // The same path in other ASCII letter case is the same folder.
    session = Begin(L"d:\\PHOTOS 2011");
    EXPECT_EQ(Paths(session.exclusions.get()), (std::vector<std::wstring>{L".\\Sib0.jpg"}));
    EXPECT_EQ(asked_, 1);
    EXPECT_EQ(session.record, history_->records.head->next);
    EXPECT_EQ(session.indexPath, siblingIndex);
    EXPECT_EQ(EntryCount(history_->records), 3u);
}

TEST_F(HistoryStoreTest, ResumeYesReadsTheIndexAndContinuesAtTheFullCount)
{
    std::string index = StringBytes(L".\\Trip000000.jpg") + StringBytes(L".\\sub\\Trip000001.JPG");
    RecordFolder(L"D:\\Photos", 70000, index);
    NumberingSession session = Begin(L"D:\\Photos", true);
    EXPECT_EQ(asked_, 1);
    EXPECT_EQ(Paths(session.exclusions.get()), (std::vector<std::wstring>{L".\\Trip000000.jpg", L".\\sub\\Trip000001.JPG"}));
    // 70000 does not fit 16 bits; the run goes on at the count itself.
    EXPECT_TRUE(session.resumed);
    EXPECT_EQ(session.resumeAt, 70000u);
    EXPECT_EQ(session.record, history_->records.head);
}

TEST_F(HistoryStoreTest, ResumeNoReadsNothingAndKeepsTheTypedStart)
{
    RecordFolder(L"D:\\Photos", 2, StringBytes(L".\\a.jpg") + StringBytes(L".\\b.jpg"));
    NumberingSession session = Begin(L"D:\\Photos", false);
    EXPECT_EQ(asked_, 1);
    EXPECT_EQ(session.exclusions, nullptr);
    EXPECT_FALSE(session.resumed);
    EXPECT_EQ(session.record, history_->records.head);
}

TEST_F(HistoryStoreTest, EmptyIndexAndYesSkipNothingAndStartAtTheCount)
{
    // A count of 2^31 or more (a damaged or edited file) is taken unsigned, never as negative.
    RecordFolder(L"D:\\Photos", 0xFFFFFFF0u, "");
    EXPECT_EQ(RecordCount(*history_->records.head), 0xFFFFFFF0u);
    NumberingSession session = Begin(L"D:\\Photos", true);
    ASSERT_NE(session.exclusions, nullptr);
    EXPECT_EQ(EntryCount(*session.exclusions), 0u);
    EXPECT_EQ(session.resumeAt, 0xFFFFFFF0u);
}

TEST_F(HistoryStoreTest, IndexHoldsTheExclusionsThenTheNewPathsAndTheCountFollows)
{
    std::string old = StringBytes(L".\\Trip000000.jpg") + StringBytes(L".\\gone.jpg");
    std::wstring index = RecordFolder(L"D:\\Photos", 2, old);
    NumberingSession session = Begin(L"D:\\Photos", true);
    End(session, {L".\\Trip000002.jpg", L".\\sub\\Trip000003.png"});
    EXPECT_EQ(ReadFileBytes(index), old + StringBytes(L".\\Trip000002.jpg") + StringBytes(L".\\sub\\Trip000003.png"));
    EXPECT_EQ(history_->records.head->count, 4);
    SaveHistory(*history_);
    EXPECT_EQ(HistoryBytes(), HistoryRecordBytes(4, L"D:\\Photos", index));
    EXPECT_EQ(ListNames(start_.path()), (std::vector<std::wstring>{L"20120101000000.idx", L"Nomaro.stdb"}));

    // A run that numbered nothing after No leaves the index empty and the count 0.
    session = Begin(L"D:\\Photos", false);
    End(session, {});
    EXPECT_EQ(ReadFileBytes(index), "");
    EXPECT_EQ(history_->records.head->count, 0);
}

TEST_F(HistoryStoreTest, IndexThatCannotBeWrittenLeavesTheCount)
{
    // The index's name is held by a folder, which no file can replace.
    std::wstring index = start_ / L"20120101000000.idx";
    ASSERT_TRUE(CreateDirectoryW(index.c_str(), nullptr));
    WriteFileBytes(HistoryFile(), HistoryRecordBytes(6, L"D:\\Photos", index));
    Load();
    NumberingSession session = Begin(L"D:\\Photos");
    End(session, {L".\\x.jpg"});
    EXPECT_EQ(history_->records.head->count, 6);
    EXPECT_EQ(*history_->records.head->secondPath, index);
    EXPECT_TRUE(ListNames(index).empty());
    EXPECT_EQ(ListNames(start_.path()), (std::vector<std::wstring>{L"20120101000000.idx", L"Nomaro.stdb"}));
}

TEST_F(HistoryStoreTest, DamagedIndexKeepsItsReadableEntriesAndIsBackedUp)
{
    std::string damaged = StringBytes(L".\\a.jpg") + StringBytes(L".\\b.jpg") + Int32Bytes(5000) + "xx";
    std::wstring index = RecordFolder(L"D:\\Photos", 3, damaged);
    NumberingSession session = Begin(L"D:\\Photos", true);
    EXPECT_EQ(Paths(session.exclusions.get()), (std::vector<std::wstring>{L".\\a.jpg", L".\\b.jpg"}));
    End(session, {L".\\c.jpg"});
    EXPECT_EQ(ReadFileBytes(index), StringBytes(L".\\a.jpg") + StringBytes(L".\\b.jpg") + StringBytes(L".\\c.jpg"));
    EXPECT_EQ(ReadFileBytes(index + L".bak"), damaged);
}

TEST_F(HistoryStoreTest, IndexPathsNotOfTheProgramsOwnMakingAreNeverOpened)
{
    TempFolder elsewhere;
    std::wstring elsewhereName = elsewhere.path().substr(elsewhere.path().find_last_of(L'\\') + 1);
    std::wstring owned = start_ / L"20120101000009.idx";
    start_.MakeFolder(L"sub");
    std::vector<std::wstring> foreign = {
        elsewhere / L"20120101000000.idx",                            // another folder: a moved or copied history
        start_ / (L"..\\" + elsewhereName + L"\\20120101000001.idx"), // out of the start folder through ".."
        start_ / L"sub\\20120101000002.idx",                          // not directly in the start folder
        start_ / L"notes.idx",                                        // a name the program never makes
        owned,                                                        // an earlier record's index
    };
    // A user's file, which a reader would take for a damaged index and back up.
    const std::string users = "users own\x01";
    std::string history = HistoryRecordBytes(1, L"D:\\Owner", owned);
    for (size_t i = 0; i < foreign.size(); ++i) {
        WriteFileBytes(foreign[i], users);
        history += HistoryRecordBytes(7, L"D:\\F" + std::to_wstring(i), foreign[i]);
    }
    WriteFileBytes(HistoryFile(), history);
    Load();

    for (size_t i = 0; i < foreign.size(); ++i) {
        NumberingSession session = Begin(L"D:\\F" + std::to_wstring(i), true);
        EXPECT_EQ(session.exclusions, nullptr);
        EXPECT_EQ(asked_, 0) << i;
        EXPECT_TRUE(IsIndexName(session.indexPath, start_.path())) << Narrow(session.indexPath);
        End(session, {L".\\x.jpg"});
        EXPECT_EQ(*session.record->secondPath, session.indexPath);
        EXPECT_EQ(ReadFileBytes(session.indexPath), StringBytes(L".\\x.jpg")) << i;
        EXPECT_EQ(session.record->count, 1);
    }
    for (const std::wstring& path : foreign)
        EXPECT_EQ(ReadFileBytes(path), users) << Narrow(path);
    // No backup beside any of them, and five fresh indexes beside the history.
    EXPECT_EQ(ListNames(elsewhere.path()), (std::vector<std::wstring>{L"20120101000000.idx", L"20120101000001.idx"}));
    EXPECT_EQ(ListNames(start_ / L"sub"), (std::vector<std::wstring>{L"20120101000002.idx"}));
    EXPECT_EQ(ListNames(start_.path()).size(), 4u + foreign.size());
}

TEST_F(HistoryStoreTest, BackupTakesTheNextFreeName)
{
    std::string good = HistoryRecordBytes(4, L"D:\\A", L"C:\\a.idx");
    WriteFileBytes(HistoryFile(), good + "\x01");
    WriteFileBytes(HistoryBackupPath(), "older backup");
    WriteFileBytes(start_ / L"Nomaro.stdb.1.bak", "users own");
    Load();
    SaveHistory(*history_);
    EXPECT_EQ(ReadFileBytes(HistoryBackupPath()), "older backup");
    EXPECT_EQ(ReadFileBytes(start_ / L"Nomaro.stdb.1.bak"), "users own");
    EXPECT_EQ(ReadFileBytes(start_ / L"Nomaro.stdb.2.bak"), good + "\x01");
    EXPECT_EQ(HistoryBytes(), good);
}

TEST_F(HistoryStoreTest, OwnFilesAreKnownThroughALinkToTheStartFolder)
{
    TempFolder scratch;
    LinkedStart linked = MakeLinkedStart(scratch);
    if (linked.start.empty())
        GTEST_SKIP() << "no link to a folder can be made here";
    // Own: the history, its index, backups and a temporary file. The user's: names alike, but no
    // record names the second index.
    std::vector<std::wstring> own = {L"Nomaro.stdb", L"20120101000000.idx", L"Nomaro.stdb.1.bak", L"20120101000000.idx.tmp"};
    std::vector<std::wstring> users = {L"mine.idx", L"20120101000001.idx", L"Nomaro.stdb.x.bak"};
    for (const std::wstring& name : own)
        WriteFileBytes(linked.start + L"\\" + name, "x");
    for (const std::wstring& name : users)
        WriteFileBytes(linked.start + L"\\" + name, "x");
    WriteFileBytes(linked.tree + L"\\Nomaro.stdb", "a copy the user keeps in the tree");
    ScopeExit cleanUp([&] {
        for (const std::wstring& name : ListNames(linked.start))
            DeleteFileW((linked.start + L"\\" + name).c_str());
        DeleteFileW((linked.tree + L"\\Nomaro.stdb").c_str());
    });
    WriteFileBytes(linked.start + L"\\Nomaro.stdb", HistoryRecordBytes(1, L"D:\\Photos", linked.start + L"\\" + own[1]));
    std::unique_ptr<NumberingHistory> history = LoadHistory(linked.start);

    wchar_t current[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, current);
    ScopeExit restore([&] { SetCurrentDirectoryW(current); });
    ASSERT_TRUE(SetCurrentDirectoryW(linked.tree.c_str()));
    for (const std::wstring& name : own) {
        EXPECT_TRUE(IsHistoryDataFile(*history, L".\\Tools\\" + name)) << Narrow(name);
        EXPECT_TRUE(IsHistoryDataFile(*history, L"\\\\?\\" + linked.tree + L"\\Tools\\" + name)) << Narrow(name);
    }
    for (const std::wstring& name : users)
        EXPECT_FALSE(IsHistoryDataFile(*history, L".\\Tools\\" + name)) << Narrow(name);
    EXPECT_FALSE(IsHistoryDataFile(*history, L".\\Nomaro.stdb"));
}
