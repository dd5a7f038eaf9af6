// Sequential renaming of one file, with the ID3v1 tag of renamed MP3 files.
#pragma once

#include "Id3v1Tag.h"
#include "PathList.h"

#include <windows.h>

#include <cstdint>
#include <string>

// The name text followed by the number in decimal, zero-padded to at least width digits.
std::wstring NumberedBaseName(const std::wstring& nameText, std::uint32_t number, std::int32_t width);

// Where a collected file goes: its directory part, the base name and its extension lower-cased.
// A name without an extension keeps none, and gets no dot.
struct NumberedTarget {
    std::wstring newPath;
    std::wstring extension; // lower-cased; empty when the name has none
};
NumberedTarget NumberedPath(const std::wstring& path, const std::wstring& baseName);

// Renames one collected file to the directory part, the name text, its number and its extension,
// and records the new path in numberedList. window holds the name field (none: an empty name).
void NumberFile(HWND window, const std::wstring& path, PathList& numberedList);
