// The 128-byte ID3v1 tag as bytes: composing it, telling one at a file's end, and where a new
// one goes. No Win32, so that the reader of a file's last bytes builds and is fuzzed anywhere.
#pragma once

#include <array>
#include <cstdint>
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

// Where the tag carrying text goes in a file of fileSize bytes whose last bytes are tail (the
// last 128 when they could be read, else fewer or none): in place of a tag already there,
// keeping its header bytes, or appended at the end.
struct Id3v1Placement {
    bool replaces = false;
    std::uint64_t offset = 0; // where the tag is written
    std::string oldTag;       // replaces: the bytes it overwrites
    Id3v1Tag tag{};
};
Id3v1Placement PlaceId3v1Tag(std::uint64_t fileSize, std::string_view tail, std::string_view text);
