// The Preview dialog: the plan's summary, a virtual list of its entries, Start and Close.
#include "PreviewDialog.h"

#include "AccessibleName.h"
#include "DialogDpi.h"
#include "KeyboardCues.h"
#include "PlanListDialog.h"
#include "ReplaceOrder.h"
#include "WindowPlacement.h"
#include "resource.h"

#include <commctrl.h>

#include <iterator>

namespace {

// Below this the four columns and the check box text no longer fit.
constexpr SIZE kMinimumClientUnits{300, 150};

// The controls that follow the dialog's lower right corner when it is resized.
constexpr ControlAnchor kAnchors[] = {
    {IDC_PREVIEW_SUMMARY, Widens},
    {IDC_PREVIEW_LIST, Widens | Heightens},
    {IDC_PREVIEW_CHANGES_ONLY, Widens | MovesDown},
    {IDOK, MovesRight | MovesDown},
    {IDCANCEL, MovesRight | MovesDown},
};

struct PreviewState {
    const RunPlan* plan = nullptr;
    std::vector<std::uint32_t> order; // the plan's entries in Name order, as Find and Replace lists them
    PlanListDialog frame;
};

constexpr wchar_t kListName[] = L"Entries";

PreviewState* StateOf(HWND dialog)
{
    return reinterpret_cast<PreviewState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

BOOL OnInitDialog(HWND dialog, PreviewState* state)
{
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    SetDlgItemTextW(dialog, IDC_PREVIEW_SUMMARY, PlanSummaryText(*state->plan).c_str());
    TrackDialogDpi(dialog);
    ShowKeyboardCues(dialog);
    state->frame.Record(dialog, kAnchors, std::size(kAnchors), kMinimumClientUnits);
    HWND list = GetDlgItem(dialog, IDC_PREVIEW_LIST);
    // Fitted to the list's width as the template gives it.
    state->frame.MakeRows(dialog, IDC_PREVIEW_LIST).Show(state->plan, false, &state->order);
    SetAccessibleName(list, kListName);
    CentreOverOwner(dialog, GetWindow(dialog, GW_OWNER), HWND_TOP, 0);
    SetFocus(list);
    // FALSE: the focus stays on the list set above.
    return FALSE;
}

// Escape and the close box arrive as IDCANCEL.
BOOL OnCommand(HWND dialog, int id)
{
    switch (id) {
    case IDOK:
    case IDCANCEL:
        EndDialog(dialog, id);
        return TRUE;
    case IDC_PREVIEW_CHANGES_ONLY:
        if (PreviewState* state = StateOf(dialog); state && state->frame.Rows())
            state->frame.Rows()->Show(state->plan, IsDlgButtonChecked(dialog, IDC_PREVIEW_CHANGES_ONLY) == BST_CHECKED,
                                      &state->order);
        return TRUE;
    default:
        return FALSE;
    }
}

// The list, the size and the DPI are the frame's.
BOOL OnFrameMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    PreviewState* state = StateOf(dialog);
    return PlanListDialog::Route(state ? &state->frame : nullptr, dialog, message, wParam, lParam);
}

// Routes only. Describing a row or filtering allocates; should memory run out, the dialog shows
// less rather than let an exception through the system's code.
INT_PTR CALLBACK PreviewDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    try {
        switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog(dialog, reinterpret_cast<PreviewState*>(lParam));
        case WM_COMMAND:
            return OnCommand(dialog, LOWORD(wParam));
        case WM_NOTIFY:
        case WM_SIZE:
        case WM_GETMINMAXINFO:
        case WM_DPICHANGED:
            return OnFrameMessage(dialog, message, wParam, lParam);
        default:
            return FALSE;
        }
    } catch (...) {
        return FALSE;
    }
}
} // namespace

bool ShowPreviewDialog(HWND owner, const RunPlan& plan)
{
    InitPlanListControls();
    PreviewState state;
    state.plan = &plan;
    state.order = NameOrder(plan);
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PREVIEW), owner, PreviewDialogProc,
                           reinterpret_cast<LPARAM>(&state)) == IDOK;
}
