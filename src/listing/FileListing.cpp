// The listing of a folder tree as plain text or RTF.
#include "FileListing.h"

std::wstring ListingFontFace = L"Consolas";

// Filled in with the listing mode.
void WriteFileListing(HWND, const std::wstring&, const std::wstring&) {}
