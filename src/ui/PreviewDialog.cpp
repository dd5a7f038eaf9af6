// The Preview dialog: the plan's summary, a virtual list of its entries, Start and Close.
#include "PreviewDialog.h"

#include "AccessibleName.h"
#include "DialogDpi.h"
#include "DpiScale.h"
#include "KeyboardCues.h"
#include "PlanList.h"
#include "WindowPlacement.h"
#include "resource.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>

namespace {

// The layout in dialog units, as in the template; turned into pixels for the dialog's font.
constexpr int kMarginUnits = 7;
constexpr int kGapUnits = 4;
constexpr int kSummaryHeightUnits = 18;
constexpr int kButtonWidthUnits = 50;
constexpr int kButtonHeightUnits = 14;
constexpr int kCheckHeightUnits = 10;
// Below this the four columns and the check box text no longer fit.
constexpr int kMinimumWidthUnits = 300;
constexpr int kMinimumHeightUnits = 150;

// In pixels at the dialog's start; ScaledLayout gives it for the DPI the dialog has now.
struct Layout {
    int marginX = 0, marginY = 0, gapX = 0, gapY = 0;
    int summaryHeight = 0, buttonWidth = 0, buttonHeight = 0, checkHeight = 0;
    SIZE minimumClient{};
};

struct PreviewState {
    const RunPlan* plan = nullptr;
    std::unique_ptr<PlanList> rows;
    Layout layout;
};

constexpr wchar_t kListName[] = L"Entries";

PreviewState* StateOf(HWND dialog)
{
    return reinterpret_cast<PreviewState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

Layout MeasureLayout(HWND dialog)
{
    RECT first{kMarginUnits, kMarginUnits, kButtonWidthUnits, kButtonHeightUnits};
    RECT second{kGapUnits, kGapUnits, kMinimumWidthUnits, kMinimumHeightUnits};
    RECT third{0, kSummaryHeightUnits, 0, kCheckHeightUnits};
    MapDialogRect(dialog, &first);
    MapDialogRect(dialog, &second);
    MapDialogRect(dialog, &third);
    Layout layout;
    layout.marginX = first.left;
    layout.marginY = first.top;
    layout.buttonWidth = first.right;
    layout.buttonHeight = first.bottom;
    layout.gapX = second.left;
    layout.gapY = second.top;
    layout.summaryHeight = third.top;
    layout.checkHeight = third.bottom;
    layout.minimumClient = SIZE{second.right, second.bottom};
    return layout;
}

Layout ScaledLayout(HWND dialog, const Layout& start)
{
    auto scale = [dialog](int length) { return ScaleForDialog(dialog, length); };
    Layout layout;
    layout.marginX = scale(start.marginX);
    layout.marginY = scale(start.marginY);
    layout.gapX = scale(start.gapX);
    layout.gapY = scale(start.gapY);
    layout.summaryHeight = scale(start.summaryHeight);
    layout.buttonWidth = scale(start.buttonWidth);
    layout.buttonHeight = scale(start.buttonHeight);
    layout.checkHeight = scale(start.checkHeight);
    layout.minimumClient = SIZE{scale(start.minimumClient.cx), scale(start.minimumClient.cy)};
    return layout;
}

HDWP Place(HDWP positions, HWND dialog, int id, int x, int y, int width, int height)
{
    if (!positions)
        return nullptr;
    return DeferWindowPos(positions, GetDlgItem(dialog, id), nullptr, x, y, std::max(width, 0), std::max(height, 0),
                          SWP_NOZORDER | SWP_NOACTIVATE);
}

// The list takes whatever the summary above and the button row below leave.
void PlaceControls(HWND dialog, const Layout& l, int width, int height)
{
    int buttonsTop = height - l.marginY - l.buttonHeight;
    int closeLeft = width - l.marginX - l.buttonWidth;
    int startLeft = closeLeft - l.gapX - l.buttonWidth;
    int listTop = l.marginY + l.summaryHeight + l.gapY;
    HDWP positions = BeginDeferWindowPos(5);
    positions = Place(positions, dialog, IDC_PREVIEW_SUMMARY, l.marginX, l.marginY, width - 2 * l.marginX, l.summaryHeight);
    positions = Place(positions, dialog, IDC_PREVIEW_LIST, l.marginX, listTop, width - 2 * l.marginX,
                      buttonsTop - l.gapY - listTop);
    positions = Place(positions, dialog, IDC_PREVIEW_CHANGES_ONLY, l.marginX,
                      buttonsTop + (l.buttonHeight - l.checkHeight) / 2, startLeft - l.gapX - l.marginX, l.checkHeight);
    positions = Place(positions, dialog, IDOK, startLeft, buttonsTop, l.buttonWidth, l.buttonHeight);
    positions = Place(positions, dialog, IDCANCEL, closeLeft, buttonsTop, l.buttonWidth, l.buttonHeight);
    if (positions)
        EndDeferWindowPos(positions);
}

BOOL OnInitDialog(HWND dialog, PreviewState* state)
{
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    state->layout = MeasureLayout(dialog);
    SetDlgItemTextW(dialog, IDC_PREVIEW_SUMMARY, PlanSummaryText(*state->plan).c_str());
    HWND list = GetDlgItem(dialog, IDC_PREVIEW_LIST);
    RECT client{};
    GetClientRect(dialog, &client);
    PlaceControls(dialog, state->layout, client.right, client.bottom);
    // Placed first: the columns are fitted to the list's width.
    state->rows = std::make_unique<PlanList>(list);
    state->rows->Show(state->plan, false);
    SetAccessibleName(list, kListName);
    CentreOverOwner(dialog, GetWindow(dialog, GW_OWNER), HWND_TOP, 0);
    TrackDialogDpi(dialog);
    ShowKeyboardCues(dialog);
    SetFocus(list);
    // FALSE: the focus stays on the list set above.
    return FALSE;
}

BOOL OnNotify(HWND dialog, NMHDR* header)
{
    PreviewState* state = StateOf(dialog);
    if (!state || !state->rows || header->idFrom != IDC_PREVIEW_LIST || header->code != LVN_GETDISPINFOW)
        return FALSE;
    state->rows->OnGetDispInfo(*reinterpret_cast<NMLVDISPINFOW*>(header));
    return TRUE;
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
        if (PreviewState* state = StateOf(dialog); state && state->rows)
            state->rows->Show(state->plan, IsDlgButtonChecked(dialog, IDC_PREVIEW_CHANGES_ONLY) == BST_CHECKED);
        return TRUE;
    default:
        return FALSE;
    }
}

// WM_SIZE also arrives while the dialog is being created, before it has its state.
BOOL OnSize(HWND dialog, UINT kind, int width, int height)
{
    PreviewState* state = StateOf(dialog);
    if (!state || kind == SIZE_MINIMIZED)
        return FALSE;
    PlaceControls(dialog, ScaledLayout(dialog, state->layout), width, height);
    return TRUE;
}

BOOL OnGetMinMaxInfo(HWND dialog, MINMAXINFO& info)
{
    PreviewState* state = StateOf(dialog);
    if (!state)
        return FALSE;
    SIZE minimum = OuterSizeForClient(ScaledLayout(dialog, state->layout).minimumClient,
                                      static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE)),
                                      static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE)), false, DialogDpi(dialog));
    info.ptMinTrackSize = POINT{minimum.cx, minimum.cy};
    return TRUE;
}

// The dialog's size notification places the controls for the new DPI; the columns are fitted to
// the texts in the new font.
BOOL OnDpiChanged(HWND dialog, WPARAM wParam, LPARAM lParam)
{
    OnDialogDpiChanged(dialog, wParam, lParam);
    if (PreviewState* state = StateOf(dialog); state && state->rows)
        state->rows->Refit();
    return TRUE;
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
            return OnNotify(dialog, reinterpret_cast<NMHDR*>(lParam));
        case WM_SIZE:
            return OnSize(dialog, static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        case WM_GETMINMAXINFO:
            return OnGetMinMaxInfo(dialog, *reinterpret_cast<MINMAXINFO*>(lParam));
        case WM_DPICHANGED:
            return OnDpiChanged(dialog, wParam, lParam);
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
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    PreviewState state;
    state.plan = &plan;
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PREVIEW), owner, PreviewDialogProc,
                           reinterpret_cast<LPARAM>(&state)) == IDOK;
}
