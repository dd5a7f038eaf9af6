// A whole run over real trees: what is collected, in which order, and what changes on disk.
#include "AsciiCase.h"
#include "BatchRun.h"
#include "CollectEntries.h"
#include "ExtendedPath.h"
#include "MessageBoxWatcher.h"
#include "JournalStore.h"
#include "RunState.h"
#include "ScratchRegistry.h"
#include "TempFolder.h"
#include "Win32Text.h"

#include <gtest/gtest.h>

// Runs keep their undo journals in the user's local application data: here a folder of the run's own.
const testing::Environment* const kScratchRegistry = RedirectRegistryForTheRun({{HKEY_CURRENT_USER, {}}});

namespace {
class BatchRunTest : public testing::Test {
protected:
    void SetUp() override
    {
        CurrentRun = RunState();
        CurrentMode = ModeLower;
    }
    TempFolder root_;
};

std::vector<std::wstring> PathsOf(const CollectedTree& tree)
{
    std::vector<std::wstring> paths;
    for (const PlannedEntry& entry : tree.plan.entries)
        paths.push_back(entry.path);
    return paths;
}

CollectedTree Collected(OperationMode mode, const std::wstring& folder)
{
    RunOptions options;
    options.mode = mode;
    return CollectEntries(ExtendedLengthPath(folder), options, nullptr, false);
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

    EXPECT_EQ(BatchRun(nullptr, root_.path()), BatchResult::Completed);

    EXPECT_EQ(ListTree(root_.path()),
              (std::vector<std::wstring>{L".\\hidden.txt", L".\\sub", L".\\sub\\deep", L".\\sub\\deep\\file.txt",
                                         L".\\system.dat", L".\\\u00c9t\u00c9.txt"}));
    EXPECT_EQ(GetCurrentDirectoryString(), before);
    EXPECT_FALSE(CurrentRun.BatchBusy);
    EXPECT_EQ(CurrentRun.ProgressTotal, 0);
    EXPECT_EQ(CurrentRun.RunningIndex, 0);
}

TEST_F(BatchRunTest, UpperAndReadOnlyRuns)
{
    root_.WriteFile(L"sub\\stra\u00dfe.mp3");
    SetFileAttributesW((root_ / L"sub").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW((root_ / L"sub\\stra\u00dfe.mp3").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);

    CurrentMode = ModeReadOnly;
    BatchRun(nullptr, root_.path());
    EXPECT_FALSE(GetFileAttributesW((root_ / L"sub").c_str()) & FILE_ATTRIBUTE_READONLY);
    DWORD file = GetFileAttributesW((root_ / L"sub\\stra\u00dfe.mp3").c_str());
    EXPECT_EQ(file & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), DWORD(FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(ListTree(root_.path()), (std::vector<std::wstring>{L".\\sub", L".\\sub\\stra\u00dfe.mp3"}));

    CurrentMode = ModeUpper;
    BatchRun(nullptr, root_.path());
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
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND ext = CreateWindowExW(0, L"EDIT", L" ,png, , jpg ,", WS_CHILD, 0, 0, 10, 10, window,
                               reinterpret_cast<HMENU>(3264), nullptr, nullptr);
    ASSERT_NE(ext, nullptr);
    root_.WriteFile(L"a.JPG");
    root_.WriteFile(L"b.png");
    root_.WriteFile(L"README");
    root_.WriteFile(L"archive.tar.gz");
    root_.WriteFile(L".hid\\in.jpg");
    root_.WriteFile(L"hidden.jpg");
    SetFileAttributesW((root_ / L".hid").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
    SetFileAttributesW((root_ / L"hidden.jpg").c_str(), FILE_ATTRIBUTE_HIDDEN);

    RunOptions options = ReadRunOptions(window, ModeNumber);
    DestroyWindow(window);
    CollectedTree tree = CollectEntries(ExtendedLengthPath(root_.path()), options, nullptr, false);

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
    CollectedTree tree = CollectEntries(ExtendedLengthPath(root_.path()), options, &exclusions, false);
    EXPECT_EQ(PathsOf(tree), (std::vector<std::wstring>{L".\\keep.jpg"}));
    EXPECT_EQ(tree.plan.progressTotal, 1);
}

TEST_F(BatchRunTest, MissingOrEmptyPathChangesNothingAnywhere)
{
    // The current directory must not be walked in place of a folder that does not exist.
    root_.WriteFile(L"KEEP.TXT");
    std::wstring saved = GetCurrentDirectoryString();
    SetCurrentDirectoryW(root_.path().c_str());
    EXPECT_EQ(BatchRun(nullptr, root_ / L"missing"), BatchResult::PathNotFound);
    EXPECT_EQ(BatchRun(nullptr, L""), BatchResult::PathNotFound);
    SetCurrentDirectoryW(saved.c_str());
    EXPECT_EQ(ListNames(root_.path()), (std::vector<std::wstring>{L"KEEP.TXT"}));
    EXPECT_FALSE(CurrentRun.BatchBusy);
    EXPECT_NE(PathNotFoundMessage(L"Q:\\Nowhere").find(L"Q:\\Nowhere"), std::wstring::npos);
}

TEST_F(BatchRunTest, FilePathIsTreatedAsThatOneEntry)
{
    root_.WriteFile(L"DIR\\ONE.TXT");
    root_.WriteFile(L"DIR\\TWO.TXT");
    EXPECT_EQ(BatchRun(nullptr, root_ / L"DIR\\ONE.TXT"), BatchResult::Completed);
    EXPECT_EQ(ListTree(root_.path()), (std::vector<std::wstring>{L".\\DIR", L".\\DIR\\TWO.TXT", L".\\DIR\\one.txt"}));

    SetFileAttributesW((root_ / L"DIR\\TWO.TXT").c_str(), FILE_ATTRIBUTE_READONLY);
    CurrentMode = ModeReadOnly;
    BatchRun(nullptr, root_ / L"DIR\\TWO.TXT");
    EXPECT_FALSE(GetFileAttributesW((root_ / L"DIR\\TWO.TXT").c_str()) & FILE_ATTRIBUTE_READONLY);
}

TEST_F(BatchRunTest, LockedFileEndsTheRunWithTheRebootNotice)
{
    root_.WriteFile(L"OPEN.TXT");
    root_.WriteFile(L"FREE.TXT");
    HANDLE lock = CreateFileW((root_ / L"OPEN.TXT").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    std::vector<SeenMessageBox> seen;
    {
        MessageBoxWatcher watcher;
        BatchRun(nullptr, root_.path());
        seen = watcher.Seen();
    }
    CloseHandle(lock);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, L"Reboot Required");
    EXPECT_EQ(seen[0].text, L"Some files are in use and will not be renamed until the next reboot.");
    EXPECT_EQ(ListNames(root_.path()), (std::vector<std::wstring>{L"OPEN.TXT", L"free.txt"}));
    EXPECT_FALSE(CurrentRun.RebootPending);
}

TEST_F(BatchRunTest, RunsNeverOverlap)
{
    root_.WriteFile(L"A.TXT");
    CurrentRun.BatchBusy = true;
    BatchRun(nullptr, root_.path());
    EXPECT_EQ(ListNames(root_.path()), (std::vector<std::wstring>{L"A.TXT"}));
    CurrentRun.BatchBusy = false;
}

namespace {
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

// Runs and gives the texts of the message boxes the run showed.
std::vector<std::wstring> RunAndSee(const std::wstring& folder, const RunOptions& options)
{
    MessageBoxWatcher watcher;
    EXPECT_EQ(BatchRun(nullptr, folder, options), BatchResult::Completed);
    std::vector<std::wstring> texts;
    for (const SeenMessageBox& box : watcher.Seen())
        texts.push_back(box.text);
    return texts;
}
} // namespace

TEST_F(BatchRunTest, EntriesAreReachedByTheirExactNames)
{
    // Names from other systems that plain paths turn into something else.
    for (const wchar_t* name : {L"ALONE.", L"SPACE ", L"CON.TXT", L"NUL", L"DIR.\\INNER.TXT"})
        root_.WriteFile(name, Narrow(name));
    SetFileAttributesW(ExtendedLengthPath(root_ / L"ALONE.").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(ExtendedLengthPath(root_ / L"CON.TXT").c_str(), FILE_ATTRIBUTE_READONLY);

    EXPECT_TRUE(RunAndSee(root_.path(), Options(ModeReadOnly)).empty());
    EXPECT_FALSE(GetFileAttributesW(ExtendedLengthPath(root_ / L"ALONE.").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(GetFileAttributesW(ExtendedLengthPath(root_ / L"CON.TXT").c_str()) & FILE_ATTRIBUTE_READONLY);

    // Lower case would make device names of CON.TXT and NUL: they keep theirs and are named.
    std::vector<std::wstring> seen = RunAndSee(root_.path(), Options(ModeLower));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_NE(seen[0].find(L"2 items"), std::wstring::npos);
    EXPECT_NE(seen[0].find(L".\\CON.TXT"), std::wstring::npos);
    EXPECT_EQ(ListTree(root_.path()), (std::vector<std::wstring>{L".\\CON.TXT", L".\\NUL", L".\\alone.", L".\\dir.",
                                                                 L".\\dir.\\inner.txt", L".\\space "}));
    EXPECT_EQ(ReadFileBytes(ExtendedLengthPath(root_ / L"dir.\\inner.txt")), "DIR.\\INNER.TXT");

    EXPECT_TRUE(RunAndSee(root_.path(), Options(ModeNumber, L"txt")).empty());
    EXPECT_EQ(ReadFileBytes(ExtendedLengthPath(root_ / L"P0.txt")) + ReadFileBytes(ExtendedLengthPath(root_ / L"P1.txt")) +
                  ReadFileBytes(ExtendedLengthPath(root_ / L"dir.\\P1.txt")) +
                  ReadFileBytes(ExtendedLengthPath(root_ / L"dir.\\P0.txt")),
              "CON.TXTDIR.\\INNER.TXT");
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

    EXPECT_TRUE(RunAndSee(root_ / chosen, Options(ModeLower)).empty());

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

    EXPECT_TRUE(RunAndSee(root_.path(), Options(ModeNumber, L"jpg")).empty());

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
    EXPECT_TRUE(RunAndSee(root_.path(), Options(ModeNumber, L"jpg JPG, jpg")).empty());
    EXPECT_EQ(ListNames(root_.path()), (std::vector<std::wstring>{L"P0.jpg", L"P1.jpg"}));
}
