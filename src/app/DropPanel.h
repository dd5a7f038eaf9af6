// The picture in the lower half of the main window that takes dropped folders.
#pragma once

#include <windows.h>
#include <shellapi.h>

LRESULT CALLBACK DropPanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// The first dropped path, taken whole, becomes the chosen folder; the drop is released.
void HandleDrop(HWND panel, HDROP drop);
