// The picture in the lower half of the main window that takes dropped folders.
#pragma once

#include <windows.h>

LRESULT CALLBACK DropPanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
