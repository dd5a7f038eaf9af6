// What the Preview and the Find and Replace dialogs share: a resizable dialog around a plan list,
// its controls following the lower right corner, the list's rows answered, its columns refitted
// after a DPI change.
#pragma once

#include "AnchoredLayout.h"
#include "PlanList.h"

#include <windows.h>

#include <memory>

class PlanListDialog {
public:
    // Records the template's layout (AnchoredLayout::Record), once the dialog tracks its DPI.
    void Record(HWND dialog, const ControlAnchor* anchors, size_t count, SIZE minimumClientUnits = SIZE{})
    {
        layout_.Record(dialog, anchors, count, minimumClientUnits);
    }
    // The smallest outer size, at the dialog's DPI now.
    POINT MinimumTrackSize(HWND dialog) const { return layout_.MinimumTrackSize(dialog); }
    // Places the controls for the client area now.
    void PlaceNow(HWND dialog) const;
    // Makes the rows of the list listId, whose columns are fitted to its width now.
    PlanList& MakeRows(HWND dialog, int listId);
    PlanList* Rows() const { return rows_.get(); }

    // The dialog's messages; each gives the dialog procedure's result. WM_SIZE and WM_GETMINMAXINFO
    // also arrive while the dialog is being made, before its layout is recorded.
    BOOL OnNotify(NMHDR& header);
    BOOL OnSize(HWND dialog, UINT kind, int width, int height) const;
    BOOL OnGetMinMaxInfo(HWND dialog, MINMAXINFO& info) const;
    // The controls placed for the new DPI, the columns fitted to the texts in the new font.
    BOOL OnDpiChanged(HWND dialog, WPARAM wParam, LPARAM lParam);

private:
    AnchoredLayout layout_;
    std::unique_ptr<PlanList> rows_;
    int listId_ = 0;
};

// Makes the list-view class ready for a plan list dialog.
void InitPlanListControls();
