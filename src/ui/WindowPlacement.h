// Placing a dialog over the window that owns it.
#pragma once

#include <windows.h>

// Centres a window over its owner without resizing it, then moves it just far enough to stay
// within the owner's monitor work area. insertAfter and extraFlags go to SetWindowPos.
void CentreOverOwner(HWND window, HWND owner, HWND insertAfter, UINT extraFlags);
