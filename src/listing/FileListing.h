// The listing of a folder tree as plain text or RTF.
#pragma once

#include <windows.h>

#include <string>

// The face name of the listing font; "Consolas" until the main window takes the stored one.
extern std::wstring ListingFontFace;

// What became of a listing: written whole, or the system's error code of the first step that
// failed (creating the file, a write, or the close).
struct ListingResult {
    DWORD error = ERROR_SUCCESS;
    bool written() const { return error == ERROR_SUCCESS; }
};

// Writes the listing of the tree under rootFolder to outputFile, replacing it, in the format the
// main window's plain-text radio chooses. Shows nothing; the caller reports a failure.
ListingResult WriteFileListing(HWND mainWindow, const std::wstring& rootFolder, const std::wstring& outputFile);

// The same listing with the format given: what WriteFileListing does once it has read the radio.
ListingResult WriteListingFile(const std::wstring& rootFolder, const std::wstring& outputFile, bool plain);
