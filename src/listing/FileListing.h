// The listing of a folder tree as plain text or RTF.
#pragma once

#include <windows.h>

#include <string>

// The face name of the listing font; "Consolas" until the main window takes the stored one.
extern std::wstring ListingFontFace;

// Writes the listing of the tree under rootFolder to outputFile, replacing it, in the format the
// main window's plain-text radio chooses. Nothing is reported, whatever fails.
void WriteFileListing(HWND mainWindow, const std::wstring& rootFolder, const std::wstring& outputFile);

// The same listing with the format given: what WriteFileListing does once it has read the radio.
void WriteListingFile(const std::wstring& rootFolder, const std::wstring& outputFile, bool plain);
