// The Win32 adapter on real files: opened by exact paths for reading only, beside other programs
// that hold the file, the reader picked by the first bytes rather than the name.
#include "ReadFileDetails.h"
#include "TempFolder.h"
#include "UniqueHandle.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Be(std::uint64_t value, int width)
{
    std::string out;
    for (int i = width - 1; i >= 0; --i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return out;
}

std::string Syncsafe(std::uint32_t size)
{
    return {static_cast<char>((size >> 21) & 0x7F), static_cast<char>((size >> 14) & 0x7F),
            static_cast<char>((size >> 7) & 0x7F), static_cast<char>(size & 0x7F)};
}

// An MP3 with an ID3v2.4 tag: 100 KiB of cover art, then the title frame (beyond the first read).
std::string TaggedMp3(const std::string& title)
{
    std::string body = "\x03" + title;
    std::string picture(100 * 1024, '\xFF');
    std::string frames = "APIC" + Syncsafe(static_cast<std::uint32_t>(picture.size())) + std::string(2, '\0') + picture +
                         "TIT2" + Be(body.size(), 4) + std::string(2, '\0') + body;
    std::string header = std::string("ID3\x04\0\0", 6) + Syncsafe(static_cast<std::uint32_t>(frames.size()));
    return header + frames + std::string("\xFF\xFB\x90\x00", 4) + std::string(200 * 1024, '\0');
}

TEST(ReadFileDetails, ReadsByExactPathWhileAnotherProgramHoldsTheFile)
{
    TempFolder folder;
    // A name only an exact path reaches: it ends in a dot.
    std::wstring path = L"\\\\?\\" + (folder / L"song.");
    ASSERT_TRUE(WriteFileBytes(path, TaggedMp3("Song")));
    // Another program has it open for writing and lets others only read: a reader that asked
    // for more than reading would be refused.
    UniqueHandle<FileHandleTraits> other(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(other.valid());
    FileDetails details = ReadFileDetails(path, kWantMusicDetails);
    EXPECT_EQ(details.format, DetailsFormat::Mp3);
    EXPECT_EQ(details.music.title, L"Song");
}

TEST(ReadFileDetails, TheFirstBytesDecideNotTheName)
{
    TempFolder folder;
    ASSERT_TRUE(WriteFileBytes(folder / L"really-music.jpg", TaggedMp3("Named Wrongly")));
    FileDetails details = ReadFileDetails(folder / L"really-music.jpg", kWantAllDetails);
    EXPECT_EQ(details.format, DetailsFormat::Mp3);
    EXPECT_EQ(details.music.title, L"Named Wrongly");

    // Without a sign in its first bytes only an .mp3 file is looked at for an ID3v1 tag.
    std::string v1 = "TAG" + std::string("Old Title") + std::string(125 - 9, '\0');
    ASSERT_TRUE(WriteFileBytes(folder / L"old.MP3", std::string(500, '\0') + v1));
    ASSERT_TRUE(WriteFileBytes(folder / L"old.txt", std::string(500, '\0') + v1));
    EXPECT_EQ(ReadFileDetails(folder / L"old.MP3", kWantMusicDetails).music.title, L"Old Title");
    EXPECT_EQ(ReadFileDetails(folder / L"old.txt", kWantMusicDetails).format, DetailsFormat::Unknown);
}

TEST(ReadFileDetails, WhatIsNotWantedOrCannotBeOpenedGivesNoValues)
{
    TempFolder folder;
    ASSERT_TRUE(WriteFileBytes(folder / L"song.mp3", TaggedMp3("Song")));
    FileDetails photoOnly = ReadFileDetails(folder / L"song.mp3", kWantPhotoDetails);
    EXPECT_EQ(photoOnly.format, DetailsFormat::Mp3);
    EXPECT_EQ(photoOnly.music, MusicDetails{});
    EXPECT_EQ(ReadFileDetails(folder / L"missing.mp3", kWantAllDetails), FileDetails{});
    EXPECT_EQ(ReadFileDetails(folder.path(), kWantAllDetails), FileDetails{}); // a folder
    ASSERT_TRUE(WriteFileBytes(folder / L"empty.mp3", ""));
    EXPECT_EQ(ReadFileDetails(folder / L"empty.mp3", kWantAllDetails).music, MusicDetails{});
}

} // namespace
