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

    // WM_NOTIFY, WM_SIZE, WM_GETMINMAXINFO and WM_DPICHANGED, the messages of the list, the size
    // and the DPI, for the dialog whose frame this is (none before it has its state); gives the
    // dialog procedure's result. The size messages also arrive while the dialog is being made,
    // before its layout is recorded.
    static BOOL Route(PlanListDialog* frame, HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

private:
    AnchoredLayout layout_;
    std::unique_ptr<PlanList> rows_;
    int listId_ = 0;
};

// Makes the list-view class ready for a plan list dialog.
void InitPlanListControls();
