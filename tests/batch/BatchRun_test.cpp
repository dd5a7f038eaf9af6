// A whole run over real trees: what is collected, in which order, and what changes on disk.
#include "BatchRun.h"
#include "CollectEntries.h"
#include "ExtendedPath.h"
#include "MessageBoxWatcher.h"
#include "RunState.h"
#include "TempFolder.h"
#include "Win32Text.h"

#include <gtest/gtest.h>

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
