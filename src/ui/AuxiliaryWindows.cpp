// The About dialog, the offer window and the help launcher.
#include "AuxiliaryWindows.h"

// Filled in with the auxiliary windows.
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) noexcept
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_CLOSE) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}
LRESULT CALLBACK OfferWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    return DefWindowProcW(window, message, wParam, lParam);
}
BOOL OpenOfferWindow(HWND) { return TRUE; }
HWND ShowHtmlHelp(HWND, const wchar_t*, UINT, DWORD_PTR) { return nullptr; }
