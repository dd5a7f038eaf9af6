// Sequential renaming of one file and the ID3v1 tag of renamed MP3 files.
#pragma once

#include "PathList.h"

#include <windows.h>

#include <string>

// Renames one collected file to the directory part, the name text, its number and its extension.
void NumberFile(HWND window, const std::wstring& path, PathList& numberedList);
// Writes the 128-byte ID3v1 tag carrying baseName into the file at path.
void StampId3v1Tag(const std::wstring& path, const std::wstring& baseName);
