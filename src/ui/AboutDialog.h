// The About dialog (dialog resource 108), run modally over the main window.
#pragma once

#include <windows.h>

// Ends with result 0 on OK, Enter or the close box; Escape does nothing.
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
