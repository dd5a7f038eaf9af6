// The Listing mode's run: the file asked for with the save dialog, the format from the main
// window's radios, the font from ListingFontFace.
#pragma once

#include "FileListing.h"

#include <windows.h>

#include <string>

// The save dialog of the listing: false when the user cancels.
bool AskListingFileName(HWND window, bool plainText, std::wstring& fileName);

// Writes the listing of rootFolder to outputFile in the format the main window's plain-text radio
// chooses. Shows nothing; the caller reports a failure.
ListingResult WriteFileListing(HWND mainWindow, const std::wstring& rootFolder, const std::wstring& outputFile);

// Asks for the file and writes the listing; false, after naming the file and the system's reason,
// when it could not be written. A cancelled dialog is no failure.
bool RunListing(HWND window, const std::wstring& rootFolder);
