// Case conversion touches ASCII letters only, and renames stick even where the file
// system ignores case-only renames.
#include "AsciiCase.h"
#include "CaseOperations.h"
#include "ExtendedPath.h"
#include "MoveEntry.h"
#include "ScratchRegistry.h"
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

TEST(AsciiCase, CaseConvertedNameFollowsTheMode)
{
    EXPECT_EQ(CaseConvertedName(L"stra\u00dfe.mp3", ModeUpper), L"STRA\u00dfE.MP3");
    EXPECT_EQ(CaseConvertedName(L".hidden", ModeUpper), L".HIDDEN");
    EXPECT_EQ(CaseConvertedName(L"README.TXT", ModeFavorites), L"readme.txt");
    for (OperationMode mode : {ModeNumber, ModeListing, ModeReadOnly})
        EXPECT_EQ(CaseConvertedName(L"KEEP.TXT", mode), L"KEEP.TXT");
}

class MoveEntryTest : public testing::Test {
protected:
    std::wstring Exact(const std::wstring& name) const { return ExtendedLengthPath(root_ / name); }
    TempFolder root_;
};

TEST_F(MoveEntryTest, CaseOnlyRenameIsReallyAppliedAndTheVolumeIsRemembered)
{
    root_.WriteFile(L"README.TXT", "x");
    root_.WriteFile(L"OTHER.TXT", "y");
    CaseRenameMemory memory;
    ChangeWatch watch;
    const DWORD volume = 0x1234;
    StepResult result =
        MoveEntryCaseOnly(Exact(L"README.TXT"), Exact(L"readme.txt"), Exact(L"~t1.tmp"), volume, memory, watch);
    EXPECT_EQ(result.outcome, StepOutcome::Done);
    EXPECT_EQ(ListNames(root_.path()), (std::vector<std::wstring>{L"OTHER.TXT", L"readme.txt"}));
    EXPECT_EQ(ReadFileBytes(root_ / L"readme.txt"), "x");
    // What the first rename showed holds for the rest of that volume only.
    CaseRenameMemory::Answer learnt = memory.Lookup(volume);
    EXPECT_NE(learnt, CaseRenameMemory::Answer::Unknown);
    EXPECT_EQ(memory.Lookup(volume + 1), CaseRenameMemory::Answer::Unknown);
    EXPECT_EQ(MoveEntryCaseOnly(Exact(L"OTHER.TXT"), Exact(L"other.txt"), Exact(L"~t2.tmp"), volume, memory, watch).outcome,
              StepOutcome::Done);
    EXPECT_EQ(ListNames(root_.path()), (std::vector<std::wstring>{L"other.txt", L"readme.txt"}));
    memory.Learn(0, false);
    EXPECT_EQ(memory.Lookup(0), CaseRenameMemory::Answer::Unknown);
}

TEST(MoveEntry, SecondStepBlockedGoesBackToTheOldName)
{
    // A case-sensitive folder holding another entry under the target spelling, which a run's
    // plan refuses; here the move meets it anyway.
    std::wstring folder = PreparedFixture(L"twocase");
    if (folder.empty() || ListNames(folder).size() != 2)
        GTEST_SKIP() << "no folder holding two spellings of one name";
    std::wstring exact = ExtendedLengthPath(folder);
    CaseRenameMemory memory;
    memory.Learn(7, false);
    ChangeWatch watch;
    StepResult result =
        MoveEntryCaseOnly(exact + L"\\B.TXT", exact + L"\\b.Txt", exact + L"\\~t.tmp", 7, memory, watch);
    EXPECT_EQ(result.outcome, StepOutcome::Failed);
    EXPECT_EQ(ReadFileBytes(folder + L"\\b.Txt"), "other");
    // Back under its own name, or, where even that spelling now resolves to the other entry,
    // reported exactly where it is.
    if (result.strandedAt.empty())
        EXPECT_EQ(ListNames(folder), (std::vector<std::wstring>{L"B.TXT", L"b.Txt"}));
    else
        EXPECT_EQ(ReadFileBytes(DisplayPath(result.strandedAt.str())), "upper");
}

TEST_F(MoveEntryTest, LockedFileIsPostponedButATakenNameIsNot)
{
    if (!RunningUnderWine())
        GTEST_SKIP() << "registers a real rename for the next restart, which only a Wine test prefix may hold";
    root_.WriteFile(L"LOCKED.TXT");
    HANDLE lock = CreateFileW((root_ / L"LOCKED.TXT").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    ChangeWatch watch;
    EXPECT_EQ(MoveEntry(Exact(L"LOCKED.TXT"), Exact(L"new.txt"), watch).outcome, StepOutcome::Postponed);
    CloseHandle(lock);
    EXPECT_EQ(ListNames(root_.path()), (std::vector<std::wstring>{L"LOCKED.TXT"}));

    root_.WriteFile(L"a.txt", "a");
    root_.WriteFile(L"b.txt", "b");
    StepResult taken = MoveEntry(Exact(L"a.txt"), Exact(L"b.txt"), watch);
    EXPECT_EQ(taken.outcome, StepOutcome::Failed);
    EXPECT_EQ(ReadFileBytes(root_ / L"b.txt"), "b");
    EXPECT_EQ(ReadFileBytes(root_ / L"a.txt"), "a");
}

TEST_F(MoveEntryTest, ClearReadOnlyKeepsEveryOtherAttribute)
{
    root_.WriteFile(L"file.txt");
    root_.MakeFolder(L"folder");
    root_.WriteFile(L"plain.txt");
    const DWORD extra = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
    SetFileAttributesW((root_ / L"file.txt").c_str(), FILE_ATTRIBUTE_READONLY | extra);
    SetFileAttributesW((root_ / L"folder").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(ClearReadOnly(Exact(L"file.txt")), DWORD(ERROR_SUCCESS));
    EXPECT_EQ(ClearReadOnly(Exact(L"folder")), DWORD(ERROR_SUCCESS));
    EXPECT_EQ(ClearReadOnly(Exact(L"plain.txt")), DWORD(ERROR_SUCCESS));
    EXPECT_NE(ClearReadOnly(Exact(L"missing.txt")), DWORD(ERROR_SUCCESS));
    EXPECT_EQ(GetFileAttributesW((root_ / L"file.txt").c_str()) & (extra | FILE_ATTRIBUTE_READONLY), extra);
    DWORD folder = GetFileAttributesW((root_ / L"folder").c_str());
    EXPECT_FALSE(folder & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(folder & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(folder & FILE_ATTRIBUTE_DIRECTORY);
}
