// Small photos and music files as cameras and taggers write them, for the tests of what Nomaro
// reads from them (the readers themselves are checked against exiftool and mutagen).
#pragma once

#include <string>

// A JPEG whose Exif holds the make "Canon", model and, unless taken is empty, the date taken
// ("2026:07:14 09:31:05", with 250 ms as its sub-seconds); then its frame header, 480 pixels high.
std::string Photo(const std::string& taken, const std::string& model, unsigned width = 640);

// An MP3 with an ID3v2.3 tag of UTF-16 text frames, those given non-empty; track and disc as the
// frames hold them ("3/12").
std::string Song(const std::wstring& artist, const std::wstring& title, const std::string& track,
                 const std::wstring& album = L"", const std::string& disc = "");
