// The listing of a folder tree as plain text or RTF.
#pragma once

#include <windows.h>

#include <string>

// What became of a listing: written whole, or the system's error code of the first step that
// failed (making the file, a write, the flush, or putting it in place); then nothing was written
// and an older listing of that name is as it was.
struct ListingResult {
    DWORD error = ERROR_SUCCESS;
    bool written() const { return error == ERROR_SUCCESS; }
};

// Writes the listing of the tree under rootFolder to outputFile, replacing it whole, as plain text or as
// RTF in the font fontFace. Shows nothing; the caller reports a failure.
ListingResult WriteListingFile(const std::wstring& rootFolder, const std::wstring& outputFile, bool plain,
                               const std::wstring& fontFace);
