// The "Calculating..." box shown while a run collects its entries.
#pragma once

#include <windows.h>

INT_PTR CALLBACK CalculatingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
