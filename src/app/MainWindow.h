// The main window: its procedure, its hint text, its fixed size and its tear-down.
#pragma once

#include <windows.h>

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
// Creates the shared UI font and the main window, shows and paints it.
bool CreateMainWindow(HINSTANCE instance, int showCommand);

// The window's outer size at 96 DPI; at another DPI its client area is this one's scaled.
constexpr int kMainWindowWidth = 450;
constexpr int kMainWindowHeight = 690;

extern const wchar_t kHintText[];
