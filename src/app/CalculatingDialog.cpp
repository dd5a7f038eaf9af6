// The "Calculating..." box shown while a run collects its entries.
#include "CalculatingDialog.h"

#include "AccessibleName.h"
#include "DialogDpi.h"
#include "WindowPlacement.h"
#include "WindowText.h"

// The box has no caption, by which the tests tell it from a message box; a screen reader announces
// it by the text it shows.
static void NameAfterItsText(HWND dialog)
{
    if (HWND text = GetWindow(dialog, GW_CHILD))
        SetAccessibleName(dialog, GetWindowTextString(text));
}

INT_PTR CALLBACK CalculatingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (message) {
    case WM_INITDIALOG:
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        CentreOverOwner(dialog, GetWindow(dialog, GW_OWNER), nullptr, SWP_NOZORDER);
        NameAfterItsText(dialog);
        TrackDialogDpi(dialog);
        return TRUE;
    case WM_DPICHANGED:
        OnDialogDpiChanged(dialog, wParam, lParam);
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
