// The listing of a folder tree as plain text or RTF.
#pragma once

#include <windows.h>

#include <string>

// The face name of the listing font; "Consolas" until the main window takes the stored one.
extern std::wstring ListingFontFace;

void WriteFileListing(HWND mainWindow, const std::wstring& rootFolder, const std::wstring& outputFile);
