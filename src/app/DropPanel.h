// The picture in the lower half of the main window that takes dropped folders.
#pragma once

#include <windows.h>
#include <shellapi.h>

LRESULT CALLBACK DropPanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// Loads the drop picture drawn for the panel's size: the drawing for the display scale that covers
// its client area (at 96 DPI the 420 x 300 picture, one to one).
void LoadDropPicture(HWND panel);
