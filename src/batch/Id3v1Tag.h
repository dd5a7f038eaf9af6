// The 128-byte ID3v1 tag that renamed MP3 files receive: its bytes, and writing it into a file.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <string_view>

constexpr size_t kId3v1TagSize = 128;
constexpr size_t kId3v1HeaderSize = 3;
constexpr size_t kId3v1TextFieldSize = 30;

using Id3v1Tag = std::array<char, kId3v1TagSize>;

// The tag with the given header and the text (ANSI bytes, cut to 30) in title, artist, album
// and comment, each padded with spaces; year and genre are spaces.
Id3v1Tag ComposeId3v1Tag(std::string_view header, std::string_view text);

// True when the bytes begin with "TAG" in any ASCII letter case.
bool IsId3v1Header(std::string_view bytes);

// Writes the tag carrying baseName into the file at path: in place of an existing tag, keeping
// its header bytes, or appended at the end. A file that cannot be opened gets no tag.
// Gives ERROR_SUCCESS, or the error that kept the tag from being written.
DWORD StampId3v1Tag(const std::wstring& path, const std::wstring& baseName);
