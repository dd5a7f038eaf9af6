// Numbering on real files: the new names, their order over a tree, read-only files, MP3 tags,
// and names that are already taken.
#include "ApplyRunSteps.h"
#include "BatchRun.h"
#include "ExtendedPath.h"
#include "JournalStore.h"
#include "NumberFile.h"
#include "RunPlanner.h"
#include "RenameFailures.h"
#include "TempFolder.h"
#include "Win32Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

class NumberFileTest : public testing::Test {
protected:
    // A numbering run over the tree as Start makes it, without a history.
    RunOutcome NumberTree(const std::wstring& name, const std::wstring& extensions, std::uint64_t start,
                          std::int32_t width)
    {
        RunOptions options;
        options.mode = ModeNumber;
        options.nameText = name;
        options.extensions = extensions;
        options.startNumber = start;
        options.numberWidth = width;
        options.journalFolder = UserJournalFolder();
        return BatchRun(root_.path(), options, RunHooks());
    }

    // Plans and applies the numbering of one file as the run's entry number index; gives the
    // path the file was to take.
    std::wstring NumberOne(const std::wstring& path, std::uint64_t start, std::int32_t width, std::int32_t index,
                           const std::wstring& name = L"Trip")
    {
        RunOptions options;
        options.mode = ModeNumber;
        options.nameText = name;
        options.startNumber = start + static_cast<std::uint64_t>(index);
        options.numberWidth = width;
        options.fillTags = fillTags_;
        RunPlan plan = PlanRun(CollectOneFile(ExtendedLengthPath(root_.path() + path.substr(1))), options);
        RunSteps steps = OrderRunSteps(plan, L"test");
        CaseRenameMemory memory;
        ChangeWatch watch;
        std::vector<StepResult> results = ApplyRunSteps(plan, steps, memory, nullptr, watch);
        failures_ = FailuresOfRun(plan, steps, results).keptNames;
        postponed_ = std::any_of(results.begin(), results.end(),
                                 [](const StepResult& result) { return result.outcome == StepOutcome::Postponed; });
        return path.substr(0, path.find_last_of(L'\\') + 1) + plan.NewNameOf(plan.entries.at(0));
    }

    TempFolder root_;
    bool fillTags_ = false;
    RenameFailures failures_;
    bool postponed_ = false;
};

// Every visible file of the tree whose extension matches, in the file system's own listing
// order, a subfolder's files where the subfolder stands: the order numbering must follow.
void ListInWalkOrder(const std::wstring& root, const std::wstring& relative, const std::wstring& extension,
                     std::vector<std::wstring>& out)
{
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((root + relative.substr(1) + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        std::wstring path = relative + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ListInWalkOrder(root, path, extension, out);
        } else if (!(found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))) {
            size_t dot = name.find_last_of(L'.');
            if (dot != std::wstring::npos && CompareStringOrdinal(name.c_str() + dot + 1, -1, extension.c_str(), -1,
                                                                  TRUE) == CSTR_EQUAL)
                out.push_back(path);
        }
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

} // namespace

TEST(NumberedName, BaseNameIsTheTextAndTheZeroPaddedNumber)
{
    EXPECT_EQ(NumberedBaseName(L"Trip", 12, 6), L"Trip000012");
    EXPECT_EQ(NumberedBaseName(L"Trip", 100, 2), L"Trip100");
    EXPECT_EQ(NumberedBaseName(L"", 1, 6), L"000001");
    EXPECT_EQ(NumberedBaseName(L"T", 70000, 5), L"T70000");
    EXPECT_EQ(NumberedBaseName(L"T", 7, 9), L"T000000007");
    // Width 0: no leading zeros, and zero itself is still a digit.
    EXPECT_EQ(NumberedBaseName(L"T", 0, 0), L"T0");
    EXPECT_EQ(NumberedBaseName(L"T", 42, 0), L"T42");
    EXPECT_EQ(NumberedBaseName(L"T", 4000000000u, 1), L"T4000000000");
}

TEST(NumberedName, OnlyTheLastExtensionSurvivesLowerCased)
{
    struct Case {
        const wchar_t* path;
        const wchar_t* newPath;
        const wchar_t* extension;
    } cases[] = {
        {L".\\2012\\Photo.JPG", L".\\2012\\B.jpg", L"jpg"},
        {L".\\backup.tar.gz", L".\\B.gz", L"gz"},
        {L".\\my.photos\\IMG0001", L".\\my.photos\\B", L""},
        {L".\\README", L".\\B", L""},
        {L".\\.profile", L".\\B.profile", L"profile"},
        {L".\\trailing.", L".\\B", L""},
        // Full lower-casing, not only A-Z.
        {L".\\Bild.\u00c4\u00d6\u00dc", L".\\B.\u00e4\u00f6\u00fc", L"\u00e4\u00f6\u00fc"},
        {L".\\SONG.MP3", L".\\B.mp3", L"mp3"},
    };
    for (const Case& c : cases) {
        std::wstring path = c.path;
        size_t nameStart = path.find_last_of(L'\\') + 1;
        NumberedTarget target = NumberedName(path.substr(nameStart), L"B");
        EXPECT_EQ(path.substr(0, nameStart) + target.newName, c.newPath) << Narrow(c.path);
        EXPECT_EQ(target.extension, c.extension) << Narrow(c.path);
    }
}

TEST_F(NumberFileTest, RenamesIntoTheSameFolderAndRecordsTheNewPath)
{
    root_.WriteFile(L"2012\\Photo.JPG", "photo");
    EXPECT_EQ(NumberOne(L".\\2012\\Photo.JPG", 0, 6, 12), L".\\2012\\Trip000012.jpg");
    EXPECT_EQ(ListNames(root_ / L"2012"), (std::vector<std::wstring>{L"Trip000012.jpg"}));
    EXPECT_EQ(ReadFileBytes(root_ / L"2012\\Trip000012.jpg"), "photo");

    root_.WriteFile(L"README", "text");
    EXPECT_EQ(NumberOne(L".\\README", 0, 0, 0, L""), L".\\0");
    EXPECT_EQ(ReadFileBytes(root_ / L"0"), "text");

    root_.WriteFile(L"backup.tar.gz", "gz");
    EXPECT_EQ(NumberOne(L".\\backup.tar.gz", 65530, 5, 10), L".\\Trip65540.gz");
    EXPECT_EQ(ReadFileBytes(root_ / L"Trip65540.gz"), "gz");
    EXPECT_FALSE(postponed_);
    EXPECT_EQ(failures_.count, 0u);
}

TEST_F(NumberFileTest, ReadOnlyFileIsRenamedAndLeftWritable)
{
    root_.WriteFile(L"RO.TXT", "ro");
    SetFileAttributesW((root_ / L"RO.TXT").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(NumberOne(L".\\RO.TXT", 0, 3, 1), L".\\Trip001.txt");
    DWORD attributes = GetFileAttributesW((root_ / L"Trip001.txt").c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(attributes & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_ARCHIVE);
}

TEST_F(NumberFileTest, Mp3FilesAreTaggedOnlyWhenFillTagsIsOn)
{
    root_.WriteFile(L"SONG.MP3", std::string(1000, 'm'));
    root_.WriteFile(L"other.mp3", std::string(10, 'o'));
    root_.WriteFile(L"RO.Mp3", std::string(200, 'r'));
    SetFileAttributesW((root_ / L"RO.Mp3").c_str(), FILE_ATTRIBUTE_READONLY);
    root_.WriteFile(L"notes.txt", std::string(300, 't'));

    NumberOne(L".\\other.mp3", 0, 6, 0);
    EXPECT_EQ(ReadFileBytes(root_ / L"Trip000000.mp3"), std::string(10, 'o'));

    fillTags_ = true;
    EXPECT_EQ(NumberOne(L".\\SONG.MP3", 0, 6, 1), L".\\Trip000001.mp3");
    std::string song = ReadFileBytes(root_ / L"Trip000001.mp3");
    ASSERT_EQ(song.size(), 1128u);
    std::string field = "Trip000001" + std::string(20, ' ');
    EXPECT_EQ(song.substr(1000), "TAG" + field + field + field + "    " + field + " ");

    // Read-only: the bit is cleared first, so the tag goes in too.
    EXPECT_EQ(NumberOne(L".\\RO.Mp3", 0, 6, 2), L".\\Trip000002.mp3");
    std::string ro = ReadFileBytes(root_ / L"Trip000002.mp3");
    ASSERT_EQ(ro.size(), 328u);
    EXPECT_EQ(ro.substr(200, 13), "TAGTrip000002");

    NumberOne(L".\\notes.txt", 0, 6, 3);
    EXPECT_EQ(ReadFileBytes(root_ / L"Trip000003.txt").size(), 300u);
}

TEST_F(NumberFileTest, TakenNameIsReportedNotPostponedAndItsNumberStaysUsed)
{
    root_.WriteFile(L"a.jpg", "a");
    root_.WriteFile(L"Trip000000.jpg", "already there");
    std::wstring recorded = NumberOne(L".\\a.jpg", 0, 6, 0);
    EXPECT_EQ(recorded, L".\\Trip000000.jpg");
    EXPECT_EQ(ReadFileBytes(root_ / L"a.jpg"), "a");
    EXPECT_EQ(ReadFileBytes(root_ / L"Trip000000.jpg"), "already there");
    // A restart would not free the name, so nothing is registered for one.
    EXPECT_FALSE(postponed_);
    ASSERT_EQ(failures_.count, 1u);
    EXPECT_EQ(failures_.firstPaths[0].rfind(L".\\a.jpg ", 0), 0u);
}

TEST_F(NumberFileTest, Mp3WhoseNewNameIsTakenKeepsItsOldTag)
{
    fillTags_ = true;
    std::string tagged = std::string(500, 'm') + "TAG" + std::string(125, 'x');
    root_.WriteFile(L"song.mp3", tagged);
    root_.WriteFile(L"Trip000000.mp3", "already there");
    NumberOne(L".\\song.mp3", 0, 6, 0);
    EXPECT_EQ(ReadFileBytes(root_ / L"song.mp3"), tagged);
    EXPECT_EQ(ReadFileBytes(root_ / L"Trip000000.mp3"), "already there");

    // Only another file's name counts as taken: a new spelling of its own name is not.
    root_.WriteFile(L"TRIP000001.MP3", std::string(10, 'c'));
    EXPECT_EQ(NumberOne(L".\\TRIP000001.MP3", 0, 6, 1), L".\\Trip000001.mp3");
    EXPECT_EQ(ReadFileBytes(root_ / L"Trip000001.mp3").substr(10, 13), "TAGTrip000001");
}

TEST_F(NumberFileTest, FileAlreadyBearingItsNewNameStaysAsItIs)
{
    root_.WriteFile(L"Trip000004.jpg", "same");
    EXPECT_EQ(NumberOne(L".\\Trip000004.jpg", 0, 6, 4), L".\\Trip000004.jpg");
    EXPECT_EQ(ReadFileBytes(root_ / L"Trip000004.jpg"), "same");
    EXPECT_EQ(failures_.count, 0u);
    // Differing only in case: the file takes the new spelling.
    root_.WriteFile(L"TRIP000005.JPG", "case");
    EXPECT_EQ(NumberOne(L".\\TRIP000005.JPG", 0, 6, 5), L".\\Trip000005.jpg");
    EXPECT_EQ(ListNames(root_.path()), (std::vector<std::wstring>{L"Trip000004.jpg", L"Trip000005.jpg"}));
}

TEST_F(NumberFileTest, TreeIsNumberedByExtensionInWalkOrderWithSubfoldersInPlace)
{
    const wchar_t* files[] = {
        L"b.jpg",          L"A.JPG",         L"c.png",          L"2012\\x.jpg", L"2012\\y.PNG",
        L"2012\\deep\\z.jpg", L"m.jpg",      L"Hidden\\h.jpg",  L"skip.jpg",    L"sys.png",
        L"README",         L"notes.txt",     L"tar.jpg.gz",     L"zz\\last.jpg",
    };
    for (const wchar_t* file : files)
        root_.WriteFile(file, Narrow(file));
    SetFileAttributesW((root_ / L"Hidden").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
    SetFileAttributesW((root_ / L"skip.jpg").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW((root_ / L"sys.png").c_str(), FILE_ATTRIBUTE_SYSTEM);

    std::vector<std::wstring> expectedOrder;
    ListInWalkOrder(root_.path(), L".", L"jpg", expectedOrder);
    ListInWalkOrder(root_.path(), L".", L"png", expectedOrder);
    ASSERT_EQ(expectedOrder.size(), 9u);

    EXPECT_EQ(NumberTree(L"Pic", L" jpg,,png ", 7, 3).result, BatchResult::Completed);

    // Every numbered file kept its content, which names where it came from.
    std::map<std::wstring, std::wstring> expected;
    for (size_t i = 0; i < expectedOrder.size(); ++i) {
        const std::wstring& old = expectedOrder[i];
        std::wstring folder = old.substr(0, old.find_last_of(L'\\') + 1);
        std::wstring extension = old.substr(old.find_last_of(L'.') + 1);
        CharLowerBuffW(extension.data(), static_cast<DWORD>(extension.size()));
        std::wstring number = std::to_wstring(7 + i);
        expected[folder + L"Pic" + std::wstring(3 - number.size(), L'0') + number + L"." + extension] = old;
    }
    for (const auto& [newPath, old] : expected)
        EXPECT_EQ(ReadFileBytes(root_.path() + newPath.substr(1)), Narrow(old.substr(2))) << Narrow(newPath);
    // Untouched: hidden and system files, and files of other extensions.
    for (const wchar_t* kept : {L"skip.jpg", L"sys.png", L"README", L"notes.txt", L"tar.jpg.gz"})
        EXPECT_EQ(ReadFileBytes(root_ / kept), Narrow(kept)) << Narrow(kept);
    EXPECT_EQ(ListTree(root_.path()).size(), 9u + 5u + 4u); // files plus the folders 2012, deep, Hidden, zz
}

TEST_F(NumberFileTest, WithoutAnExtensionListEveryVisibleFileIsNumbered)
{
    root_.WriteFile(L"README", "r");
    root_.WriteFile(L"sub\\Photo.JPEG", "p");
    NumberTree(L"", L"  ,  ", 0, 0);
    std::vector<std::wstring> tree = ListTree(root_.path());
    ASSERT_EQ(tree.size(), 3u);
    // Numbers 0 and 1 in walk order, whichever file came first.
    bool readmeFirst = PathExists(root_ / L"0");
    EXPECT_EQ(ReadFileBytes(root_ / (readmeFirst ? L"0" : L"1")), "r");
    EXPECT_EQ(ReadFileBytes(root_ / (readmeFirst ? L"sub\\1.jpeg" : L"sub\\0.jpeg")), "p");
}

