// The main window's fields as settings: captured from the controls, then written to the registry.
#pragma once

#include <windows.h>

// Fills Settings from the main window's controls, each text cut to its limit, and writes all eight
// values, as Start and the window's end do.
void SaveWindowSettings(HWND mainWindow);
