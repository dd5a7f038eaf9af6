// The Start button: checks the input, freezes the panel, runs the mode and reports the end.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// False for a missing text, true for an empty one, else true when every character is 0-9.
bool IsAllDigits(const wchar_t* text);

struct StartNumberText {
    std::uint32_t startNumber = 0;
    std::int32_t numberWidth = 0;
};
// The number a numbering run starts at and how many digits it is padded to, from the
// start-number field's text (which must pass IsAllDigits).
StartNumberText ParseStartNumber(const std::wstring& digits);

// The save dialog of the listing: false when the user cancels.
bool AskListingFileName(HWND window, bool plainText, std::wstring& fileName);

// Makes the Favorites menu forget its custom order.
void ResetFavoritesOrder();

void RunStart(HWND window);
