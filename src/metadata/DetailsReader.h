// The reader a file needs, picked by its first bytes: what Nomaro reads from photos, videos and
// music files, over any source of bytes (pure: no Win32, so that it is fuzzed natively).
#pragma once

#include "ByteSource.h"
#include "FileDetails.h"

#include <string>
#include <string_view>

// How many first bytes SniffDetailsFormat looks at.
constexpr size_t kSniffBytes = 16;

// The format the first bytes show: JPEG, TIFF and its raw variants, PNG, an ISO media file
// (ftyp, or a QuickTime movie's first atom: moov, mdat, wide, free, skip, pnot, junk), an MP3 (an ID3v2 tag or an MPEG audio frame), FLAC,
// Ogg. An ID3v2 tag in front of a FLAC file shows as Mp3 here; ReadFileDetailsFrom looks behind it.
DetailsFormat SniffDetailsFormat(std::string_view first);

// The values wanted of the file in source. extension (without its dot, any case) only decides
// for a file whose first bytes show nothing: "mp3" then reads its ID3v1 tag.
FileDetails ReadFileDetailsFrom(ByteSource& source, unsigned wanted, std::wstring_view extension);
