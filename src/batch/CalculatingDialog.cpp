// The "Calculating..." box shown while a run collects its entries.
#include "CalculatingDialog.h"

void CentreOverOwner(HWND window, HWND owner, HWND insertAfter, UINT extraFlags)
{
    RECT ownerRect{}, windowRect{};
    if (!owner || !GetWindowRect(owner, &ownerRect) || !GetWindowRect(window, &windowRect))
        return;
    int x = ownerRect.left + ((ownerRect.right - ownerRect.left) - (windowRect.right - windowRect.left)) / 2;
    int y = ownerRect.top + ((ownerRect.bottom - ownerRect.top) - (windowRect.bottom - windowRect.top)) / 2;
    SetWindowPos(window, insertAfter, x, y, 0, 0, SWP_NOSIZE | extraFlags);
}

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
