// Case conversion touches ASCII letters only, and renames stick even where the file
// system ignores case-only renames.
#include "AsciiCase.h"
#include "CaseOperations.h"
#include "MoveEntry.h"
#include "RenameFailures.h"
#include "RunState.h"
#include "TempFolder.h"
#include "Win32Text.h"

#include <gtest/gtest.h>

TEST(AsciiCase, ConvertsOnlyAsciiLetters)
{
    struct Case {
        std::wstring before, lower, upper;
    } cases[] = {
        {L"\u00c9T\u00c9.TXT", L"\u00c9t\u00c9.txt", L"\u00c9T\u00c9.TXT"},
        {L"stra\u00dfe.mp3", L"stra\u00dfe.mp3", L"STRA\u00dfE.MP3"},
        {L"\u00e9t\u00e9.txt", L"\u00e9t\u00e9.txt", L"\u00e9T\u00e9.TXT"},
        {L"\uff21\uff42", L"\uff21\uff42", L"\uff21\uff42"}, // full-width forms stay
        {L"Mixed 123 [x]", L"mixed 123 [x]", L"MIXED 123 [X]"},
    };
    for (const Case& c : cases) {
        std::wstring lower = c.before, upper = c.before;
        LowerAscii(lower.data());
        UpperAscii(upper.data());
        EXPECT_EQ(lower, c.lower);
        EXPECT_EQ(upper, c.upper);
    }
    EXPECT_TRUE(EqualsAsciiNoCase(L"ABC", L"abc"));
    EXPECT_FALSE(EqualsAsciiNoCase(L"\u00c9", L"\u00e9"));
}

class CaseOperationsTest : public testing::Test {
protected:
    void SetUp() override
    {
        saved_ = GetCurrentDirectoryString();
        SetCurrentDirectoryW(root_.path().c_str());
        ClearFailedRenames();
        CurrentRun = RunState();
    }
    void TearDown() override { SetCurrentDirectoryW(saved_.c_str()); }

    TempFolder root_;
    std::wstring saved_;
};

TEST_F(CaseOperationsTest, CaseOnlyRenameIsReallyApplied)
{
    root_.WriteFile(L"README.TXT", "x");
    CurrentRun.Mode = ModeLower;
    RenameToCase(L".\\README.TXT");
    EXPECT_EQ(ListNames(root_.path()), (std::vector<std::wstring>{L"readme.txt"}));
    EXPECT_EQ(ReadFileBytes(root_ / L"readme.txt"), "x");
    EXPECT_FALSE(CurrentRun.RebootPending);
    EXPECT_EQ(FailedRenames.count, 0u);
}

TEST_F(CaseOperationsTest, FolderPartMayKeepItsOldSpelling)
{
    root_.WriteFile(L"SUB\\A.TXT");
    CurrentRun.Mode = ModeLower;
    RenameToCase(L".\\SUB");
    RenameToCase(L".\\SUB\\A.TXT");
    EXPECT_EQ(ListNames(root_.path()), (std::vector<std::wstring>{L"sub"}));
    EXPECT_EQ(ListNames(root_ / L"sub"), (std::vector<std::wstring>{L"a.txt"}));
}

TEST_F(CaseOperationsTest, UpperModeAndDotNames)
{
    root_.WriteFile(L"stra\u00dfe.mp3");
    root_.WriteFile(L".hidden");
    CurrentRun.Mode = ModeUpper;
    RenameToCase(L".\\stra\u00dfe.mp3");
    RenameToCase(L".\\.hidden");
    RenameToCase(L".");
    EXPECT_EQ(ListNames(root_.path()), (std::vector<std::wstring>{L".HIDDEN", L"STRA\u00dfE.MP3"}));
}

TEST_F(CaseOperationsTest, ModesWithoutConversionRenameNothing)
{
    root_.WriteFile(L"KEEP.TXT");
    for (OperationMode mode : {ModeNumber, ModeListing, ModeReadOnly}) {
        CurrentRun.Mode = mode;
        RenameToCase(L".\\KEEP.TXT");
    }
    EXPECT_EQ(ListNames(root_.path()), (std::vector<std::wstring>{L"KEEP.TXT"}));
}

TEST_F(CaseOperationsTest, LockedFileIsPostponedToTheNextRestart)
{
    root_.WriteFile(L"LOCKED.TXT");
    HANDLE lock = CreateFileW((root_ / L"LOCKED.TXT").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    CurrentRun.Mode = ModeLower;
    RenameToCase(L".\\LOCKED.TXT");
    CloseHandle(lock);
    EXPECT_EQ(ListNames(root_.path()), (std::vector<std::wstring>{L"LOCKED.TXT"}));
    EXPECT_TRUE(CurrentRun.RebootPending);
    EXPECT_EQ(FailedRenames.count, 0u);
}

TEST_F(CaseOperationsTest, MoveOntoATakenNameIsNotPostponedButRecorded)
{
    root_.WriteFile(L"a.txt", "a");
    root_.WriteFile(L"b.txt", "b");
    EXPECT_EQ(MoveEntry(L".\\a.txt", L".\\b.txt"), MoveOutcome::Failed);
    EXPECT_FALSE(CurrentRun.RebootPending);
    ASSERT_EQ(FailedRenames.count, 1u);
    EXPECT_EQ(FailedRenames.firstPaths[0], L".\\a.txt");
    EXPECT_EQ(ReadFileBytes(root_ / L"b.txt"), "b");
}

TEST_F(CaseOperationsTest, ClearReadOnlyKeepsEveryOtherAttribute)
{
    root_.WriteFile(L"file.txt");
    root_.MakeFolder(L"folder");
    root_.WriteFile(L"plain.txt");
    const DWORD extra = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
    SetFileAttributesW((root_ / L"file.txt").c_str(), FILE_ATTRIBUTE_READONLY | extra);
    SetFileAttributesW((root_ / L"folder").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    ClearReadOnly(L".\\file.txt");
    ClearReadOnly(L".\\folder");
    ClearReadOnly(L".\\plain.txt");
    ClearReadOnly(L".\\missing.txt");
    EXPECT_EQ(GetFileAttributesW((root_ / L"file.txt").c_str()) & (extra | FILE_ATTRIBUTE_READONLY), extra);
    DWORD folder = GetFileAttributesW((root_ / L"folder").c_str());
    EXPECT_FALSE(folder & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(folder & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(folder & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(RenameFailures, MessageCountsAllAndNamesTheFirstFew)
{
    RenameFailures failures;
    failures.count = 7;
    for (int i = 0; i < 5; ++i)
        failures.firstPaths.push_back(L".\\f" + std::to_wstring(i));
    std::wstring text = FailedRenamesMessage(failures);
    EXPECT_NE(text.find(L"7 items could not be renamed"), std::wstring::npos);
    EXPECT_NE(text.find(L".\\f4"), std::wstring::npos);
    EXPECT_NE(text.find(L"2 more"), std::wstring::npos);
}
