// The listing of a folder tree as plain text or RTF.
#pragma once

#include <windows.h>

#include <string>

// What became of a listing: written whole, or the system's error code of the first step that
// failed (creating the file, a write, or the close).
struct ListingResult {
    DWORD error = ERROR_SUCCESS;
    bool written() const { return error == ERROR_SUCCESS; }
};

// Writes the listing of the tree under rootFolder to outputFile, replacing it, as plain text or as
// RTF in the font fontFace. Shows nothing; the caller reports a failure.
ListingResult WriteListingFile(const std::wstring& rootFolder, const std::wstring& outputFile, bool plain,
                               const std::wstring& fontFace);
