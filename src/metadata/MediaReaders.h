// The readers of the ISO base media file format (MP4, MOV, 3GP, M4A, HEIF, AVIF) and of music
// files (MP3's ID3 tags, FLAC's and Ogg's Vorbis comments). Each reads only what leads to the
// values, and a value it cannot read stays empty.
#pragma once

#include "ByteSource.h"
#include "FileDetails.h"

#include <cstdint>
#include <string>

// How far an ISO media file is followed: boxes looked at in all, and the most bytes of one box
// read at once (item tables, a tag's data).
constexpr int kMaxIsoBoxes = 4096;
constexpr size_t kMaxIsoBoxRead = 256 * 1024;

// The boxes of an ISO media file by their headers, skipping the media data. A HEIF or AVIF file
// (top-level meta) gives the EXIF item's values and its primary image's size (ispe); a movie
// (moov) gives its movie header's creation time as photo.taken (utc set) and its iTunes-style
// tags (udta/meta/ilst) as music. details.format becomes Heif or IsoMedia.
void ReadIsoMediaDetails(ByteSource& source, unsigned wanted, FileDetails& details);

// ID3v2 tag bytes skipped or read: the most bytes of one frame kept (a text frame), the frames
// looked at.
constexpr size_t kMaxId3FrameRead = 4096;
constexpr int kMaxId3Frames = 4096;

// An ID3v2 tag (2.2, 2.3, 2.4) at the start of source, or else an ID3v1 tag in its last 128
// bytes. Picture frames and any frame not needed are passed over without being read.
void ReadMp3Details(ByteSource& source, MusicDetails& music);
// The size of an ID3v2 tag at the start of source (header, frames, footer), 0 when none: FLAC
// files sometimes carry one before their own header.
std::uint64_t Id3v2TagSize(ByteSource& source);

// A FLAC file's VORBIS_COMMENT block (after an ID3v2 tag, if any), other blocks passed over.
void ReadFlacDetails(ByteSource& source, MusicDetails& music);
// An Ogg Vorbis, Opus or FLAC file's comment header, put together from the pages it spans.
void ReadOggDetails(ByteSource& source, MusicDetails& music);

// The Vorbis comment list read from stream (vendor string, then KEY=value fields), unwanted
// fields and the values' excess passed over. ALBUM ARTIST and YEAR stand in for a missing
// ALBUMARTIST and DATE.
void ReadVorbisComments(ByteStream& stream, MusicDetails& music);

// The name of an ID3v1 genre number (0 Blues ... 191 Psybient), empty when there is none.
std::wstring Id3GenreName(std::uint32_t number);
// A TCON text with its ID3v1 references made names: "(13)" and "13" become "Pop", "(13)Indie"
// "Indie"; "RX" and "CR" become "Remix" and "Cover".
std::wstring Id3GenreText(const std::wstring& text);
