// Writing the 128-byte ID3v1 tag that renamed MP3 files receive into a file.
#pragma once

#include "Id3v1Bytes.h"

#include <windows.h>

#include <string>

// Reads the last bytes of an open file as PlaceId3v1Tag takes them: the last 128 when the file
// has that many and they can be read, else none. size receives the file's size; false when
// even that cannot be read.
bool ReadId3v1Tail(HANDLE file, std::uint64_t& size, std::string& tail);

// Writes the tag carrying baseName into the file at path: in place of an existing tag, keeping
// its header bytes, or appended at the end. A file that cannot be opened gets no tag.
// Gives ERROR_SUCCESS, or the error that kept the tag from being written.
DWORD StampId3v1Tag(const std::wstring& path, const std::wstring& baseName);
