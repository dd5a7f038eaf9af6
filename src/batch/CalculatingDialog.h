// The "Calculating..." box shown while a run collects its entries.
#pragma once

#include <windows.h>

INT_PTR CALLBACK CalculatingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// Centres a window over its owner without resizing it.
void CentreOverOwner(HWND window, HWND owner, HWND insertAfter, UINT extraFlags);
