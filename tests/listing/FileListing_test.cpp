// Listings of real trees in temp folders, compared byte for byte with the lines they must hold.
#include "FileListing.h"
#include "ListingExpectation.h"
#include "FullVolume.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace expect;

namespace {

// Writes the listing of root into a file outside it and returns the file's bytes.
std::string ListingOf(const std::wstring& root, bool plain, const std::wstring& face = L"Consolas")
{
    TempFolder out;
    std::wstring file = out / L"listing.out";
    EXPECT_TRUE(WriteListingFile(root, file, plain, face).written());
    return ReadFileBytes(file);
}

class FileListingTest : public ::testing::Test {
protected:
    TempFolder root;
};

} // namespace

TEST_F(FileListingTest, EmptyRootHoldsOnlyHeaderTitleAndTrailer)
{
    std::string plain = ListingOf(root.path(), true);
    EXPECT_EQ(plain.size(), 97u);
    EXPECT_EQ(plain, "Nomaro File Listing\r\n"
                     "______________________________________________________________________\r\n"
                     "\r\n"
                     "\r\n");

    std::string rtf = ListingOf(root.path(), false);
    EXPECT_EQ(rtf.size(), 224u);
    EXPECT_EQ(rtf, "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Consolas;}}\r\n"
                   "{\\fi-360\\b\\fs36 Nomaro File Listing \\b0 \\par\\fs24 "
                   "______________________________________________________________________ \\par\r\n\\par}\r\n"
                   "\\par}\r\n");
}

TEST_F(FileListingTest, LinesHaveTheirFixedLengths)
{
    // One folder line and one file line at depths 0 and 1: the lengths anchor the expected pieces.
    root.WriteFile(L"Dir\\f.txt");
    std::string rtf = ListingOf(root.path(), false);
    size_t frame = 83 + 134 + 7;
    ASSERT_EQ(rtf.size(), frame + (693 + 3) + (688 + 3 + 5));
    EXPECT_EQ(Picture.size(), 675u);
    EXPECT_EQ(rtf, RtfListing(RtfFolder(0, "Dir") + RtfFile(1, "f.txt")));

    std::string plain = ListingOf(root.path(), true);
    EXPECT_EQ(plain.size(), 97 + (3 + 2) + (3 + 5 + 3));
    EXPECT_EQ(plain, PlainListing("Dir\r\n    f.txt\r\n"));
}

TEST_F(FileListingTest, FilesOnlyRootListsEachFileAtDepthZeroInEnumerationOrder)
{
    root.WriteFile(L"b.txt", "x");
    root.WriteFile(L"a.doc");
    root.WriteFile(L"c");
    std::string plainLines;
    std::string rtfLines;
    for (const std::wstring& name : EnumerationOrder(root.path())) {
        plainLines += " " + Narrow(name) + "\r\n";
        rtfLines += RtfFile(0, Narrow(name));
    }
    EXPECT_EQ(ListingOf(root.path(), true), PlainListing(plainLines));
    EXPECT_EQ(ListingOf(root.path(), false), RtfListing(rtfLines));
}

TEST_F(FileListingTest, SubfoldersWithTheirTreesPrecedeTheFilesOfEachFolder)
{
    // Names chosen so that files would sort before folders: only the two passes put folders first.
    root.WriteFile(L"a.txt");
    root.WriteFile(L"m.txt");
    root.WriteFile(L"Z1\\b.txt");
    root.WriteFile(L"Z1\\Y\\deep.txt");
    root.WriteFile(L"Z1\\Y\\Q\\deeper.txt");
    root.MakeFolder(L"Z2");

    std::string plain;
    std::string rtf;
    auto folder = [&](int depth, const std::wstring& name) {
        plain += PlainFolder(depth, Narrow(name));
        rtf += RtfFolder(depth, Narrow(name));
    };
    auto file = [&](int depth, const std::wstring& name) {
        plain += PlainFile(depth, Narrow(name));
        rtf += RtfFile(depth, Narrow(name));
    };
    for (const std::wstring& top : InEnumerationOrder(root.path(), {L"Z1", L"Z2"})) {
        folder(0, top);
        if (top == L"Z1") {
            folder(1, L"Y");
            folder(2, L"Q");
            file(3, L"deeper.txt");
            file(2, L"deep.txt");
            file(1, L"b.txt");
        }
    }
    for (const std::wstring& name : InEnumerationOrder(root.path(), {L"a.txt", L"m.txt"}))
        file(0, name);

    EXPECT_EQ(ListingOf(root.path(), true), PlainListing(plain));
    EXPECT_EQ(ListingOf(root.path(), false), RtfListing(rtf));
}

TEST_F(FileListingTest, BracesAreEscapedInRtfAndKeptInPlainText)
{
    root.WriteFile(L"{x}\\a}b{.txt");
    std::string rtf = ListingOf(root.path(), false);
    EXPECT_EQ(rtf, RtfListing(RtfFolder(0, "\\{x\\}") + RtfFile(1, "a\\}b\\{.txt")));
    EXPECT_EQ(ListingOf(root.path(), true), PlainListing("{x}\r\n    a}b{.txt\r\n"));
}

TEST_F(FileListingTest, NamesBeginningWithDotsAreListed)
{
    // Names ending in a dot ("...") cannot be made under Wine; these begin with one or two dots.
    root.WriteFile(L".profile");
    root.WriteFile(L"..x");
    root.WriteFile(L"...y");
    root.MakeFolder(L".config");
    std::string lines = PlainFolder(0, ".config");
    for (const std::wstring& name : InEnumerationOrder(root.path(), {L".profile", L"..x", L"...y"}))
        lines += PlainFile(0, Narrow(name));
    EXPECT_EQ(ListingOf(root.path(), true), PlainListing(lines));
}

TEST_F(FileListingTest, NamesOutsideTheCodePageGetTheBestFitOrTheDefaultCharacter)
{
    if (GetACP() != 1252)
        GTEST_SKIP() << "expectations are for code page 1252, this system uses " << GetACP();
    // L with stroke and z with acute have best-fit letters; o with acute is in the code page;
    // the CJK character has no equivalent and becomes the default character.
    root.WriteFile(L"\u0141\u00f3d\u017a.txt");
    root.MakeFolder(L"\u65e5\u672c");
    EXPECT_EQ(ListingOf(root.path(), true), PlainListing("??\r\n L\xf3" "dz.txt\r\n"));
    EXPECT_EQ(ListingOf(root.path(), false), RtfListing(RtfFolder(0, "??") + RtfFile(0, "L\xf3" "dz.txt")));
}

TEST_F(FileListingTest, HiddenAndSystemEntriesAreListed)
{
    root.WriteFile(L"Secret\\sys.bin");
    root.WriteFile(L"hidden.txt");
    ASSERT_TRUE(SetFileAttributesW((root / L"Secret").c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesW((root / L"Secret\\sys.bin").c_str(), FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesW((root / L"hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(ListingOf(root.path(), true), PlainListing("Secret\r\n    sys.bin\r\n hidden.txt\r\n"));
}

TEST_F(FileListingTest, OutputFileInsideTheTreeListsItself)
{
    root.WriteFile(L"Sub\\listing.txt");
    root.WriteFile(L"other.txt");
    // The old content is replaced, not kept at the end.
    std::string old(5000, 'o');
    root.WriteFile(L"Sub\\listing.txt", old);
    EXPECT_TRUE(WriteListingFile(root.path(), root / L"Sub\\listing.txt", true, L"Consolas").written());
    EXPECT_EQ(ReadFileBytes(root / L"Sub\\listing.txt"), PlainListing("Sub\r\n    listing.txt\r\n other.txt\r\n"));
    // A new one, written under a temporary name while the tree is walked, is listed under its own.
    TempFolder fresh;
    fresh.MakeFolder(L"Out");
    EXPECT_TRUE(WriteListingFile(fresh.path(), fresh / L"Out\\new.txt", true, L"Consolas").written());
    EXPECT_EQ(ReadFileBytes(fresh / L"Out\\new.txt"), PlainListing("Out\r\n" + PlainFile(1, "new.txt")));
}

TEST_F(FileListingTest, ExistingOutputIsReplacedAndAnUncreatableOneIsLeftAlone)
{
    TempFolder out;
    std::wstring file = out / L"list.rtf";
    ASSERT_TRUE(WriteFileBytes(file, std::string(10000, 'x')));
    EXPECT_TRUE(WriteListingFile(root.path(), file, false, L"Consolas").written());
    EXPECT_EQ(ReadFileBytes(file), RtfListing(""));

    std::wstring unreachable = out / L"missing\\list.rtf";
    EXPECT_EQ(WriteListingFile(root.path(), unreachable, false, L"Consolas").error, DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(PathExists(unreachable));
    EXPECT_FALSE(PathExists(out / L"missing"));
}

TEST_F(FileListingTest, NamesThatPlainPathsCannotReachAreListedExactly)
{
    // A plain path drops a trailing dot or blank and turns a device name into the device; the
    // names are made here, and must be listed, through \\?\ paths.
    const std::wstring exact = L"\\\\?\\" + root.path();
    ASSERT_TRUE(CreateDirectoryW((exact + L"\\DIR.").c_str(), nullptr));
    for (const wchar_t* name : {L"DIR.\\inside.txt", L"ALONE.", L"SPACE ", L"CON.TXT", L"NUL"})
        ASSERT_TRUE(WriteFileBytes(exact + L"\\" + name, "x")) << Narrow(name);
    std::string lines = PlainFolder(0, "DIR.") + PlainFile(1, "inside.txt");
    for (const std::wstring& name : InEnumerationOrder(root.path(), {L"ALONE.", L"SPACE ", L"CON.TXT", L"NUL"}))
        lines += PlainFile(0, Narrow(name));
    EXPECT_EQ(ListingOf(root.path(), true), PlainListing(lines));
    RemoveTree(exact);
}

TEST(ListingOnAFullDisk, IsWrittenWholeOrNotAtAllAndAnOlderListingStays)
{
    std::string unavailable = FullVolume::Unavailable();
    if (!unavailable.empty())
        GTEST_SKIP() << unavailable;
    FullVolume volume;
    TempFolder tree;
    for (int i = 0; i < 400; ++i)
        tree.WriteFile(L"photo number " + std::to_wstring(i) + L".jpg");
    TempFolder elsewhere;
    ASSERT_TRUE(WriteListingFile(tree.path(), elsewhere / L"expected.txt", true, L"Consolas").written());
    const std::string expected = ReadFileBytes(elsewhere / L"expected.txt");
    ASSERT_GT(expected.size(), 2 * FullVolume::kBlock);

    // Block by block from no room at all: a listing that does not fit leaves the older one as it
    // was and nothing beside it; one that fits is whole.
    const std::wstring target = volume.folder() + L"\\FileList.txt";
    for (const bool older : {true, false}) {
        for (std::uint64_t free = 0;; free += FullVolume::kBlock) {
            ASSERT_LT(free, 16 * FullVolume::kBlock) << "never written";
            DeleteFileW(target.c_str());
            if (older) {
                ASSERT_TRUE(WriteFileBytes(target, "the listing of yesterday"));
            }
            ASSERT_TRUE(volume.LeaveFree(free)) << free << " asked, " << FullVolume::FreeBytes() << " free";
            ListingResult result = WriteListingFile(tree.path(), target, true, L"Consolas");
            volume.Empty();
            if (result.written()) {
                EXPECT_EQ(ReadFileBytes(target), expected) << free;
                break;
            }
            EXPECT_EQ(result.error, DWORD(ERROR_DISK_FULL)) << free;
            EXPECT_EQ(ListNames(volume.folder()), older ? std::vector<std::wstring>{L"FileList.txt"} : std::vector<std::wstring>{})
                << free;
            if (older) {
                EXPECT_EQ(ReadFileBytes(target), "the listing of yesterday") << free;
            }
        }
    }
}

TEST_F(FileListingTest, MissingRootYieldsTheFrameAlone)
{
    EXPECT_EQ(ListingOf(root / L"gone", true), PlainListing(""));
}

TEST_F(FileListingTest, FaceNameStandsInTheHeaderWholeAndNotInPlainText)
{
    EXPECT_EQ(ListingOf(root.path(), false, L"Courier New"), RtfListing("", "Courier New"));
    EXPECT_EQ(ListingOf(root.path(), true, L"Courier New"), PlainListing(""));

    // Longer than a fixed 130-byte header could hold: the header grows instead of cutting or overflowing.
    std::wstring longFace(127, L'F');
    longFace[0] = L'L';
    longFace[126] = L'E';
    std::string rtf = ListingOf(root.path(), false, longFace);
    EXPECT_EQ(rtf, RtfListing("", Narrow(longFace)));
    EXPECT_EQ(rtf.size(), 75 + 127 + 134 + 7u);

    EXPECT_EQ(ListingOf(root.path(), false, std::wstring(600, L'W')), RtfListing("", std::string(600, 'W')));
}

TEST_F(FileListingTest, LineLongerThan1023CharactersIsWrittenWhole)
{
    // Each brace doubles in RTF: 200 of them make a line of 688 + 400 + 4 characters.
    std::wstring name = std::wstring(100, L'{') + std::wstring(100, L'}') + L".txt";
    root.WriteFile(name);
    std::string escaped;
    for (int i = 0; i < 100; ++i)
        escaped += "\\{";
    for (int i = 0; i < 100; ++i)
        escaped += "\\}";
    escaped += ".txt";
    std::string line = RtfFile(0, escaped);
    ASSERT_GT(line.size(), 1023u);
    EXPECT_EQ(ListingOf(root.path(), false), RtfListing(line));
}

TEST_F(FileListingTest, LinkBackToAFolderOnTheWalkPathIsListedButNotEntered)
{
    std::wstring loop = FolderWithLinkBack(root);
    if (loop.empty())
        GTEST_SKIP() << "no link to an ancestor folder can be made here";
    EXPECT_EQ(ListingOf(loop, true), PlainListing("A\r\n   up\r\n"));
    EXPECT_EQ(ListingOf(loop, false), RtfListing(RtfFolder(0, "A") + RtfFolder(1, "up")));
}

namespace {
struct DeepListing {
    std::wstring root;
    std::wstring file;
};

DWORD WINAPI ListDeepTree(void* parameter)
{
    auto* c = static_cast<DeepListing*>(parameter);
    WriteListingFile(c->root, c->file, true, L"Consolas");
    return 0;
}
} // namespace

TEST_F(FileListingTest, DeepTreeDoesNotOverflowTheStack)
{
    // A listing in a thread with a small stack: a recursive walk holding a find record and the
    // line pieces per level would overflow it long before 300 levels.
    const int levels = 300;
    std::wstring path = L"\\\\?\\" + root.path();
    for (int i = 0; i < levels; ++i) {
        path += L"\\d";
        ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr)) << i;
    }
    ASSERT_TRUE(WriteFileBytes(path + L"\\end.txt", ""));
    TempFolder out;
    DeepListing context{L"\\\\?\\" + root.path(), out / L"deep.txt"};
    HANDLE thread = CreateThread(nullptr, 64 * 1024, ListDeepTree, &context, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, 120000);
    DWORD exitCode = 1;
    GetExitCodeThread(thread, &exitCode);
    CloseHandle(thread);
    EXPECT_EQ(exitCode, 0u);
    std::string lines;
    for (int i = 0; i < levels; ++i)
        lines += PlainFolder(i, "d");
    lines += PlainFile(levels, "end.txt");
    EXPECT_EQ(ReadFileBytes(out / L"deep.txt"), PlainListing(lines));
    RemoveTree(L"\\\\?\\" + root.path() + L"\\d");
}
