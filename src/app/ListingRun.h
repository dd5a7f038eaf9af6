// The Listing mode's run: the file asked for with the save dialog, the format from the main
// window's radios, the font from ListingFontFace.
#pragma once

#include "FileListing.h"

#include <windows.h>

#include <string>

// Asks for the file and writes the listing; false, after naming the file and the system's reason,
// when it could not be written. A cancelled dialog is no failure.
bool RunListing(HWND window, const std::wstring& rootFolder);
