// High contrast: whether the user has it on, and the colours that replace the program's fixed
// colours then.
#pragma once

#include <windows.h>

bool HighContrastOn();
// The fixed colour in the normal theme, the system colour (COLOR_...) under high contrast.
COLORREF ThemeColour(COLORREF normal, int systemColour);
// Links: blue, or the system's hot-track colour under high contrast.
COLORREF LinkTextColour();

// For tests: Wine 8 cannot switch high contrast on (SPI_SETHIGHCONTRAST fails), so a test says
// what HighContrastOn reports; -1 follows the system again.
void OverrideHighContrastForTest(int on);
