// The "Calculating..." box shown while a run collects its entries.
#include "CalculatingDialog.h"

#include "WindowPlacement.h"

INT_PTR CALLBACK CalculatingDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) noexcept
{
    switch (message) {
    case WM_INITDIALOG:
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        CentreOverOwner(dialog, GetWindow(dialog, GW_OWNER), nullptr, SWP_NOZORDER);
        return TRUE;
    case WM_CLOSE:
        SetCursor(nullptr);
        // A modeless dialog is ended by destroying it; EndDialog would only hide it.
        DestroyWindow(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}
