// The history and index files on disk: loading, saving, backups, index names, the folder's
// own record and the resume question answered through the real message box.
#include "HistoryStore.h"
#include "IndexFileName.h"
#include "MessageBoxWatcher.h"
#include "RecordBytes.h"
#include "RunState.h"
#include "TempFolder.h"
#include "UniqueHandle.h"

#include <gtest/gtest.h>

namespace {

class HistoryStoreTest : public testing::Test {
protected:
    void SetUp() override
    {
        StartDirectory = start_.path();
        HistoryFilePath = start_ / L"Nomaro.stdb";
        CurrentRun = RunState();
    }
    void TearDown() override
    {
        ReleaseHistory();
        CurrentRun = RunState();
    }

    std::string HistoryBytes() const { return ReadFileBytes(HistoryFilePath); }

    // A history whose one record is folder, with count and an index file holding entries.
    std::wstring RecordFolder(const std::wstring& folder, std::uint32_t count, const std::string& indexBytes,
                              const std::wstring& indexName = L"20120101000000.idx")
    {
        std::wstring index = start_ / indexName;
        WriteFileBytes(index, indexBytes);
        WriteFileBytes(HistoryFilePath, HistoryRecordBytes(count, folder, index));
        LoadHistory();
        return index;
    }

    TempFolder start_;
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
    ASSERT_FALSE(PathExists(HistoryFilePath));
    LoadHistory();
    ASSERT_NE(HistoryStore, nullptr);
    EXPECT_EQ(EntryCount(*HistoryStore), 0u);
    EXPECT_TRUE(PathExists(HistoryFilePath));
    EXPECT_EQ(HistoryBytes(), "");
    SaveHistory();
    EXPECT_EQ(HistoryBytes(), "");
    EXPECT_EQ(ListNames(start_.path()), (std::vector<std::wstring>{L"Nomaro.stdb"}));
}

TEST_F(HistoryStoreTest, ThreeRecordsLoadInFileOrderAndSaveByteForByte)
{
    std::string bytes = HistoryRecordBytes(5, L"D:\\Photos", L"C:\\Tools\\20121105093007.idx") +
                        HistoryRecordBytes(70000, L"E:\\M\u00fcsik", L"C:\\Tools\\20121105093008.idx") +
                        HistoryRecordBytes(0, L"F:\\x", L"C:\\Tools\\20121106000000.idx");
    WriteFileBytes(HistoryFilePath, bytes);
    LoadHistory();
    ASSERT_EQ(EntryCount(*HistoryStore), 3u);
    EXPECT_EQ(Paths(HistoryStore.get()), (std::vector<std::wstring>{L"D:\\Photos", L"E:\\M\u00fcsik", L"F:\\x"}));
    EXPECT_EQ(HistoryStore->head->next->count, 70000);
    SaveHistory();
    EXPECT_EQ(HistoryBytes(), bytes);
    // Nothing left beside it: no backup of a file that was read whole, no temporary file.
    EXPECT_EQ(ListNames(start_.path()), (std::vector<std::wstring>{L"Nomaro.stdb"}));

    // Loading again replaces what was in memory.
    WriteFileBytes(HistoryFilePath, HistoryRecordBytes(1, L"G:\\", L"i"));
    LoadHistory();
    EXPECT_EQ(Paths(HistoryStore.get()), (std::vector<std::wstring>{L"G:\\"}));
}

TEST_F(HistoryStoreTest, HistoryIsSavedOnlyIntoAnExistingFile)
{
    LoadHistory();
    std::wstring index = L"C:\\i.idx";
    Append(*HistoryStore, L"D:\\Photos", 2, &index);
    DeleteFileW(HistoryFilePath.c_str());
    SaveHistory();
    EXPECT_FALSE(PathExists(HistoryFilePath));
    EXPECT_TRUE(ListNames(start_.path()).empty());

    // Command-line mode has no history and saves nothing.
    ReleaseHistory();
    WriteFileBytes(HistoryFilePath, "keep");
    SaveHistory();
    EXPECT_EQ(HistoryBytes(), "keep");
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
        WriteFileBytes(HistoryFilePath, bytes);
        LoadHistory();
        EXPECT_EQ(Paths(HistoryStore.get()), (std::vector<std::wstring>{L"D:\\A", L"D:\\B"}));
        EXPECT_FALSE(PathExists(HistoryBackupPath()));
        SaveHistory();
        EXPECT_EQ(ReadFileBytes(HistoryBackupPath()), bytes);
        EXPECT_EQ(HistoryBytes(), good);
        // Later saves leave the backup alone.
        std::wstring index = L"C:\\d.idx";
        Append(*HistoryStore, L"D:\\D", 1, &index);
        SaveHistory();
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

TEST_F(HistoryStoreTest, NewFolderGetsARecordAndAnIndexNameButNoFileAndNoQuestion)
{
    LoadHistory();
    SYSTEMTIME before;
    GetLocalTime(&before);
    std::vector<SeenMessageBox> seen;
    std::unique_ptr<PathList> exclusions;
    std::vector<std::wstring> names;
    {
        MessageBoxWatcher watcher;
        exclusions = BeginNumbering(nullptr, L"D:\\Photos");
        names.push_back(*ActiveRecord->secondPath);
        // Folders recorded within the same second still get index files of their own.
        for (const wchar_t* folder : {L"D:\\Music", L"D:\\Video", L"D:\\Docs"}) {
            BeginNumbering(nullptr, folder);
            names.push_back(*ActiveRecord->secondPath);
        }
        seen = watcher.Seen();
    }
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(exclusions, nullptr);
    ASSERT_EQ(EntryCount(*HistoryStore), 4u);
    EXPECT_EQ(HistoryStore->head->path, L"D:\\Photos");
    EXPECT_EQ(HistoryStore->head->count, 0);
    for (const std::wstring& name : names)
        EXPECT_TRUE(IsIndexName(name, start_.path())) << Narrow(name);
    std::vector<std::wstring> sorted = names;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::unique(sorted.begin(), sorted.end()), sorted.end());
    // The first name is the time of the call.
    std::wstring first = names[0].substr(start_.path().size() + 1, 14);
    EXPECT_GE(first, FormatIndexFileName(L"", before).substr(1, 14));
    // The index files are made at the end of the run, not now.
    EXPECT_EQ(ListNames(start_.path()), (std::vector<std::wstring>{L"Nomaro.stdb"}));
    SaveHistory();
    EXPECT_EQ(HistoryBytes().substr(0, HistoryRecordBytes(0, L"D:\\Photos", names[0]).size()),
              HistoryRecordBytes(0, L"D:\\Photos", names[0]));
}

TEST_F(HistoryStoreTest, OnlyTheFolderOwnRecordIsTaken)
{
    std::wstring subIndex = start_ / L"20110101000000.idx";
    std::wstring siblingIndex = start_ / L"20110101000001.idx";
    WriteFileBytes(subIndex, StringBytes(L".\\Sub0.jpg"));
    WriteFileBytes(siblingIndex, StringBytes(L".\\Sib0.jpg"));
    WriteFileBytes(HistoryFilePath, HistoryRecordBytes(1, L"D:\\Photos\\2011", subIndex) +
                                        HistoryRecordBytes(1, L"D:\\Photos 2011", siblingIndex));
    LoadHistory();
    std::vector<SeenMessageBox> seen;
    {
        MessageBoxWatcher watcher({IDYES});
        EXPECT_EQ(BeginNumbering(nullptr, L"D:\\Photos"), nullptr);
        seen = watcher.Seen();
    }
    EXPECT_TRUE(seen.empty());
    ASSERT_EQ(EntryCount(*HistoryStore), 3u);
    EXPECT_EQ(ActiveRecord, HistoryStore->tail);
    EXPECT_EQ(ActiveRecord->path, L"D:\\Photos");
    EXPECT_NE(*ActiveRecord->secondPath, subIndex);
    EXPECT_NE(*ActiveRecord->secondPath, siblingIndex);

    // The same path in other ASCII letter case is the same folder.
    {
        MessageBoxWatcher watcher({IDYES});
        std::unique_ptr<PathList> exclusions = BeginNumbering(nullptr, L"d:\\PHOTOS 2011");
        EXPECT_EQ(Paths(exclusions.get()), (std::vector<std::wstring>{L".\\Sib0.jpg"}));
        seen = watcher.Seen();
    }
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_EQ(ActiveRecord, HistoryStore->head->next);
    EXPECT_EQ(EntryCount(*HistoryStore), 3u);
}

TEST_F(HistoryStoreTest, ResumeYesReadsTheIndexAndContinuesAtTheFullCount)
{
    std::string index = StringBytes(L".\\Trip000000.jpg") + StringBytes(L".\\sub\\Trip000001.JPG");
    RecordFolder(L"D:\\Photos", 70000, index);
    CurrentRun.StartNumber = 12;
    std::vector<SeenMessageBox> seen;
    std::unique_ptr<PathList> exclusions;
    {
        MessageBoxWatcher watcher({IDYES});
        exclusions = BeginNumbering(nullptr, L"D:\\Photos");
        seen = watcher.Seen();
    }
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, L"Nomaro");
    EXPECT_EQ(seen[0].text, L"Would you like for Nomaro to start numbering\nfrom where it left off the last time you used "
                            L"it\nnumbering only the newest files?");
    EXPECT_EQ(Paths(exclusions.get()), (std::vector<std::wstring>{L".\\Trip000000.jpg", L".\\sub\\Trip000001.JPG"}));
    // 70000 does not fit 16 bits; the run goes on at the count itself.
    EXPECT_EQ(CurrentRun.StartNumber, 70000u);
    EXPECT_EQ(ActiveRecord, HistoryStore->head);
}

TEST_F(HistoryStoreTest, ResumeNoReadsNothingAndKeepsTheTypedStart)
{
    RecordFolder(L"D:\\Photos", 2, StringBytes(L".\\a.jpg") + StringBytes(L".\\b.jpg"));
    CurrentRun.StartNumber = 12;
    std::vector<SeenMessageBox> seen;
    {
        MessageBoxWatcher watcher({IDNO});
        EXPECT_EQ(BeginNumbering(nullptr, L"D:\\Photos"), nullptr);
        seen = watcher.Seen();
    }
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_EQ(CurrentRun.StartNumber, 12u);
    EXPECT_EQ(ActiveRecord, HistoryStore->head);
}

TEST_F(HistoryStoreTest, EmptyIndexAndYesSkipNothingAndStartAtTheCount)
{
    // A count of 2^31 or more (a damaged or edited file) is taken unsigned, never as negative.
    RecordFolder(L"D:\\Photos", 0xFFFFFFF0u, "");
    EXPECT_EQ(RecordCount(*HistoryStore->head), 0xFFFFFFF0u);
    std::unique_ptr<PathList> exclusions;
    {
        MessageBoxWatcher watcher({IDYES});
        exclusions = BeginNumbering(nullptr, L"D:\\Photos");
    }
    ASSERT_NE(exclusions, nullptr);
    EXPECT_EQ(EntryCount(*exclusions), 0u);
    EXPECT_EQ(CurrentRun.StartNumber, 0xFFFFFFF0u);
}

TEST_F(HistoryStoreTest, IndexHoldsTheExclusionsThenTheNewPathsAndTheCountFollows)
{
    std::string old = StringBytes(L".\\Trip000000.jpg") + StringBytes(L".\\gone.jpg");
    std::wstring index = RecordFolder(L"D:\\Photos", 2, old);
    std::unique_ptr<PathList> exclusions;
    {
        MessageBoxWatcher watcher({IDYES});
        exclusions = BeginNumbering(nullptr, L"D:\\Photos");
    }
    PathList numbered;
    Append(numbered, L".\\Trip000002.jpg");
    Append(numbered, L".\\sub\\Trip000003.png");
    WriteNumberingIndex(exclusions.get(), PathsOf(numbered));
    EXPECT_EQ(ReadFileBytes(index), old + StringBytes(L".\\Trip000002.jpg") + StringBytes(L".\\sub\\Trip000003.png"));
    EXPECT_EQ(ActiveRecord->count, 4);
    SaveHistory();
    EXPECT_EQ(HistoryBytes(), HistoryRecordBytes(4, L"D:\\Photos", index));
    EXPECT_EQ(ListNames(start_.path()), (std::vector<std::wstring>{L"20120101000000.idx", L"Nomaro.stdb"}));

    // A run that numbered nothing after No leaves the index empty and the count 0.
    {
        MessageBoxWatcher watcher({IDNO});
        exclusions = BeginNumbering(nullptr, L"D:\\Photos");
    }
    PathList none;
    WriteNumberingIndex(exclusions.get(), PathsOf(none));
    EXPECT_EQ(ReadFileBytes(index), "");
    EXPECT_EQ(ActiveRecord->count, 0);
}

TEST_F(HistoryStoreTest, IndexThatCannotBeWrittenLeavesTheCount)
{
    // The index's name is held by a folder, which no file can replace.
    std::wstring index = start_ / L"20120101000000.idx";
    ASSERT_TRUE(CreateDirectoryW(index.c_str(), nullptr));
    WriteFileBytes(HistoryFilePath, HistoryRecordBytes(6, L"D:\\Photos", index));
    LoadHistory();
    BeginNumbering(nullptr, L"D:\\Photos");
    PathList numbered;
    Append(numbered, L".\\x.jpg");
    WriteNumberingIndex(nullptr, PathsOf(numbered));
    EXPECT_EQ(ActiveRecord->count, 6);
    EXPECT_EQ(*ActiveRecord->secondPath, index);
    EXPECT_TRUE(ListNames(index).empty());
    EXPECT_EQ(ListNames(start_.path()), (std::vector<std::wstring>{L"20120101000000.idx", L"Nomaro.stdb"}));
}

TEST_F(HistoryStoreTest, DamagedIndexKeepsItsReadableEntriesAndIsBackedUp)
{
    std::string damaged = StringBytes(L".\\a.jpg") + StringBytes(L".\\b.jpg") + Int32Bytes(5000) + "xx";
    std::wstring index = RecordFolder(L"D:\\Photos", 3, damaged);
    std::unique_ptr<PathList> exclusions;
    {
        MessageBoxWatcher watcher({IDYES});
        exclusions = BeginNumbering(nullptr, L"D:\\Photos");
    }
    EXPECT_EQ(Paths(exclusions.get()), (std::vector<std::wstring>{L".\\a.jpg", L".\\b.jpg"}));
    PathList numbered;
    Append(numbered, L".\\c.jpg");
    WriteNumberingIndex(exclusions.get(), PathsOf(numbered));
    EXPECT_EQ(ReadFileBytes(index), StringBytes(L".\\a.jpg") + StringBytes(L".\\b.jpg") + StringBytes(L".\\c.jpg"));
    EXPECT_EQ(ReadFileBytes(index + L".bak"), damaged);
}

TEST_F(HistoryStoreTest, WithoutAHistoryNumberingKeepsNoRecord)
{
    EXPECT_EQ(BeginNumbering(nullptr, L"D:\\Photos"), nullptr);
    EXPECT_EQ(ActiveRecord, nullptr);
    PathList numbered;
    Append(numbered, L".\\x.jpg");
    WriteNumberingIndex(nullptr, PathsOf(numbered));
    EXPECT_TRUE(ListNames(start_.path()).empty());
}

TEST_F(HistoryStoreTest, IndexPathsNotOfTheProgramsOwnMakingAreNeverOpened)
{
    TempFolder elsewhere;
    std::wstring elsewhereName = elsewhere.path().substr(elsewhere.path().find_last_of(L'\\') + 1);
    std::wstring owned = start_ / L"20120101000009.idx";
    start_.MakeFolder(L"sub");
    std::vector<std::wstring> foreign = {
        elsewhere / L"20120101000000.idx",                            // another folder: a moved or copied history
        start_ / (L"..\\" + elsewhereName + L"\\20120101000001.idx"), // out of StartDirectory through ".."
        start_ / L"sub\\20120101000002.idx",                          // not directly in StartDirectory
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
    WriteFileBytes(HistoryFilePath, history);
    LoadHistory();

    for (size_t i = 0; i < foreign.size(); ++i) {
        std::vector<SeenMessageBox> seen;
        {
            MessageBoxWatcher watcher({IDYES});
            EXPECT_EQ(BeginNumbering(nullptr, L"D:\\F" + std::to_wstring(i)), nullptr);
            seen = watcher.Seen();
        }
        EXPECT_TRUE(seen.empty()) << i;
        EXPECT_TRUE(IsIndexName(*ActiveRecord->secondPath, start_.path())) << Narrow(*ActiveRecord->secondPath);
        PathList numbered;
        Append(numbered, L".\\x.jpg");
        WriteNumberingIndex(nullptr, PathsOf(numbered));
        EXPECT_EQ(ReadFileBytes(*ActiveRecord->secondPath), StringBytes(L".\\x.jpg")) << i;
        EXPECT_EQ(ActiveRecord->count, 1);
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
    WriteFileBytes(HistoryFilePath, good + "\x01");
    WriteFileBytes(HistoryBackupPath(), "older backup");
    WriteFileBytes(start_ / L"Nomaro.stdb.1.bak", "users own");
    LoadHistory();
    SaveHistory();
    EXPECT_EQ(ReadFileBytes(HistoryBackupPath()), "older backup");
    EXPECT_EQ(ReadFileBytes(start_ / L"Nomaro.stdb.1.bak"), "users own");
    EXPECT_EQ(ReadFileBytes(start_ / L"Nomaro.stdb.2.bak"), good + "\x01");
    EXPECT_EQ(HistoryBytes(), good);
}

TEST_F(HistoryStoreTest, OwnFilesAreKnownThroughALinkToStartDirectory)
{
    TempFolder scratch;
    LinkedStart linked = MakeLinkedStart(scratch);
    if (linked.start.empty())
        GTEST_SKIP() << "no link to a folder can be made here";
    StartDirectory = linked.start;
    HistoryFilePath = linked.start + L"\\Nomaro.stdb";
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
    WriteFileBytes(HistoryFilePath, HistoryRecordBytes(1, L"D:\\Photos", linked.start + L"\\" + own[1]));
    LoadHistory();

    wchar_t current[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, current);
    ScopeExit restore([&] { SetCurrentDirectoryW(current); });
    ASSERT_TRUE(SetCurrentDirectoryW(linked.tree.c_str()));
    for (const std::wstring& name : own) {
        EXPECT_TRUE(IsHistoryDataFile(L".\\Tools\\" + name)) << Narrow(name);
        EXPECT_TRUE(IsHistoryDataFile(L"\\\\?\\" + linked.tree + L"\\Tools\\" + name)) << Narrow(name);
    }
    for (const std::wstring& name : users)
        EXPECT_FALSE(IsHistoryDataFile(L".\\Tools\\" + name)) << Narrow(name);
    EXPECT_FALSE(IsHistoryDataFile(L".\\Nomaro.stdb"));
}
