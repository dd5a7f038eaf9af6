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

BOOL PlanListDialog::OnNotify(NMHDR& header)
{
    if (!rows_ || header.idFrom != static_cast<UINT_PTR>(listId_) || header.code != LVN_GETDISPINFOW)
        return FALSE;
    rows_->OnGetDispInfo(*reinterpret_cast<NMLVDISPINFOW*>(&header));
    return TRUE;
}

BOOL PlanListDialog::OnSize(HWND dialog, UINT kind, int width, int height) const
{
    if (!layout_.Recorded() || kind == SIZE_MINIMIZED)
        return FALSE;
    layout_.Place(dialog, width, height);
    return TRUE;
}

BOOL PlanListDialog::OnGetMinMaxInfo(HWND dialog, MINMAXINFO& info) const
{
    if (!layout_.Recorded())
        return FALSE;
    info.ptMinTrackSize = layout_.MinimumTrackSize(dialog);
    return TRUE;
}

// The dialog's size notification places the controls too, unless the new size is the old one.
BOOL PlanListDialog::OnDpiChanged(HWND dialog, WPARAM wParam, LPARAM lParam)
{
    OnDialogDpiChanged(dialog, wParam, lParam);
    if (rows_) {
        PlaceNow(dialog);
        rows_->Refit();
    }
    return TRUE;
}

void InitPlanListControls()
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
}
