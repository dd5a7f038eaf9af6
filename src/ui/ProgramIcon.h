// The program icon at the sizes a window's DPI asks for.
#pragma once

#include <windows.h>

// The icon drawn at size x size pixels, loaded once for the life of the process.
HICON ProgramIcon(int size);

// Gives the window the large and small icon drawn for dpi. At 96 DPI it shows the icons of its
// window class, as it always has.
void ShowProgramIcons(HWND window, UINT dpi);
