// The ID3v1 tag's bytes, and how it is written into new, tagged and short MP3 files on disk.
#include "Id3v1Tag.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

namespace {
std::string Spaces(size_t n) { return std::string(n, ' '); }

// The 125 bytes after the header for a text of at most 30 bytes.
std::string TagBody(const std::string& text)
{
    std::string field = text + Spaces(30 - text.size());
    return field + field + field + Spaces(4) + field + " ";
}

std::string Filler(size_t size)
{
    std::string bytes;
    for (size_t i = 0; i < size; ++i)
        bytes.push_back(static_cast<char>('a' + i % 26 + (i % 7 == 0 ? 100 : 0)));
    return bytes;
}
} // namespace

TEST(Id3v1Tag, ComposesTheFieldsWithSpacesAndNoZeroBytes)
{
    Id3v1Tag tag = ComposeId3v1Tag("TAG", "Trip1");
    std::string bytes(tag.begin(), tag.end());
    EXPECT_EQ(bytes, "TAG" + TagBody("Trip1"));
    EXPECT_EQ(bytes.find('\0'), std::string::npos);

    std::string forty = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd";
    Id3v1Tag cut = ComposeId3v1Tag("tAg", forty);
    EXPECT_EQ(std::string(cut.begin(), cut.end()), "tAg" + TagBody(forty.substr(0, 30)));

    Id3v1Tag empty = ComposeId3v1Tag("TAG", "");
    EXPECT_EQ(std::string(empty.begin(), empty.end()), "TAG" + Spaces(125));
}

TEST(Id3v1Tag, NewTagIsAppendedToAnUntaggedFile)
{
    TempFolder folder;
    std::string audio = Filler(1000);
    folder.WriteFile(L"song.mp3", audio);
    StampId3v1Tag(folder / L"song.mp3", L"Trip000001");
    std::string bytes = ReadFileBytes(folder / L"song.mp3");
    ASSERT_EQ(bytes.size(), 1128u);
    EXPECT_EQ(bytes.substr(0, 1000), audio);
    EXPECT_EQ(bytes.substr(1000, 3), "TAG");
    EXPECT_EQ(bytes.substr(1003, 30), "Trip000001" + Spaces(20));
    EXPECT_EQ(bytes.substr(1000), "TAG" + TagBody("Trip000001"));
}

TEST(Id3v1Tag, ExistingTagIsRewrittenInPlaceKeepingItsHeaderBytes)
{
    TempFolder folder;
    std::string audio = Filler(500);
    std::string oldTag = "tag" + std::string(125, 'x');
    folder.WriteFile(L"lower.mp3", audio + oldTag);
    folder.WriteFile(L"upper.mp3", audio + "TAG" + std::string(125, '\0'));

    StampId3v1Tag(folder / L"lower.mp3", L"A very long base name of forty chars.");
    StampId3v1Tag(folder / L"upper.mp3", L"Short");

    std::string lower = ReadFileBytes(folder / L"lower.mp3");
    ASSERT_EQ(lower.size(), 628u);
    EXPECT_EQ(lower.substr(0, 500), audio);
    EXPECT_EQ(lower.substr(500), "tag" + TagBody("A very long base name of forty"));
    std::string upper = ReadFileBytes(folder / L"upper.mp3");
    EXPECT_EQ(upper, audio + "TAG" + TagBody("Short"));

    // Stamping twice keeps one tag.
    StampId3v1Tag(folder / L"upper.mp3", L"Again");
    EXPECT_EQ(ReadFileBytes(folder / L"upper.mp3"), audio + "TAG" + TagBody("Again"));
}

TEST(Id3v1Tag, ShortAndEmptyFilesGetANewTagAtTheirEnd)
{
    TempFolder folder;
    folder.WriteFile(L"empty.mp3");
    // 127 bytes beginning with TAG are not a tag: a tag needs 128 bytes.
    std::string shortFile = "TAG" + Filler(124);
    folder.WriteFile(L"short.mp3", shortFile);
    // Exactly 128 bytes that are a tag: rewritten in place.
    folder.WriteFile(L"onlytag.mp3", "TAG" + std::string(125, 'q'));

    StampId3v1Tag(folder / L"empty.mp3", L"E");
    StampId3v1Tag(folder / L"short.mp3", L"S");
    StampId3v1Tag(folder / L"onlytag.mp3", L"O");

    EXPECT_EQ(ReadFileBytes(folder / L"empty.mp3"), "TAG" + TagBody("E"));
    EXPECT_EQ(ReadFileBytes(folder / L"short.mp3"), shortFile + "TAG" + TagBody("S"));
    EXPECT_EQ(ReadFileBytes(folder / L"onlytag.mp3"), "TAG" + TagBody("O"));
}

TEST(Id3v1Tag, TextIsInTheAnsiCodePage)
{
    if (GetACP() != 1252)
        GTEST_SKIP() << "expectation written for code page 1252, this system uses " << GetACP();
    TempFolder folder;
    folder.WriteFile(L"a.mp3");
    // e acute exists in 1252; a CJK character has no counterpart and becomes the default character.
    StampId3v1Tag(folder / L"a.mp3", L"\u00e9t\u00e9\u4e2d");
    EXPECT_EQ(ReadFileBytes(folder / L"a.mp3"), "TAG" + TagBody("\xe9t\xe9?"));
}

TEST(Id3v1Tag, FileThatCannotBeOpenedIsLeftAlone)
{
    TempFolder folder;
    folder.WriteFile(L"locked.mp3", "abc");
    HANDLE lock = CreateFileW((folder / L"locked.mp3").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    StampId3v1Tag(folder / L"locked.mp3", L"X");
    CloseHandle(lock);
    EXPECT_EQ(ReadFileBytes(folder / L"locked.mp3"), "abc");
    StampId3v1Tag(folder / L"missing.mp3", L"X");
    EXPECT_FALSE(PathExists(folder / L"missing.mp3"));
}
