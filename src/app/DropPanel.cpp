// The picture in the lower half of the main window that takes dropped folders.
#include "DropPanel.h"

// Filled in with the main window.
LRESULT CALLBACK DropPanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    return DefWindowProcW(window, message, wParam, lParam);
}
