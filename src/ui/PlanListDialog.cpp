// What the Preview and the Find and Replace dialogs share: a resizable dialog around a plan list.
#include "PlanListDialog.h"

#include "DialogDpi.h"

#include <commctrl.h>

void PlanListDialog::PlaceNow(HWND dialog) const
{
    RECT client{};
    GetClientRect(dialog, &client);
    layout_.Place(dialog, client.right, client.bottom);
}

PlanList& PlanListDialog::MakeRows(HWND dialog, int listId)
{
    listId_ = listId;
    rows_ = std::make_unique<PlanList>(GetDlgItem(dialog, listId));
    return *rows_;
}

BOOL PlanListDialog::Route(PlanListDialog* frame, HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NOTIFY: {
        const NMHDR& header = *reinterpret_cast<NMHDR*>(lParam);
        if (!frame || !frame->rows_ || header.idFrom != static_cast<UINT_PTR>(frame->listId_) ||
            header.code != LVN_GETDISPINFOW)
            return FALSE;
        frame->rows_->OnGetDispInfo(*reinterpret_cast<NMLVDISPINFOW*>(lParam));
        return TRUE;
    }
    case WM_SIZE:
        if (!frame || !frame->layout_.Recorded() || wParam == SIZE_MINIMIZED)
            return FALSE;
        frame->layout_.Place(dialog, LOWORD(lParam), HIWORD(lParam));
        return TRUE;
    case WM_GETMINMAXINFO:
        if (!frame || !frame->layout_.Recorded())
            return FALSE;
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = frame->layout_.MinimumTrackSize(dialog);
        return TRUE;
    case WM_DPICHANGED:
        // The dialog's size notification places the controls too, unless the new size is the old one.
        OnDialogDpiChanged(dialog, wParam, lParam);
        if (frame && frame->rows_) {
            frame->PlaceNow(dialog);
            frame->rows_->Refit();
        }
        return TRUE;
    default:
        return FALSE;
    }
}

void InitPlanListControls()
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
}
