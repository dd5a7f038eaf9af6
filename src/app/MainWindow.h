// The main window: its controls, mode rules and tear-down.
#pragma once

#include <windows.h>

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
// Creates the shared UI font and the main window, shows and paints it.
bool CreateMainWindow(HINSTANCE instance, int showCommand);
