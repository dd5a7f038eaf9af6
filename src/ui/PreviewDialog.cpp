// The Preview dialog: the plan's summary, a virtual list of its entries, Start and Close.
#include "PreviewDialog.h"

#include "WindowPlacement.h"
#include "resource.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {
enum Column { FolderColumn, NameNowColumn, NameAfterColumn, WhatHappensColumn };

struct ColumnLayout {
    const wchar_t* title;
    int percent; // of the list's width when the dialog opens; the last column takes the rest
};
constexpr ColumnLayout kColumns[] = {{L"Folder", 28}, {L"Name now", 22}, {L"Name after", 22}, {L"What happens", 0}};

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

struct Layout {
    int marginX = 0, marginY = 0, gapX = 0, gapY = 0;
    int summaryHeight = 0, buttonWidth = 0, buttonHeight = 0, checkHeight = 0;
    POINT minimumTrackSize{};
};

struct PreviewState {
    const RunPlan* plan = nullptr;
    bool changesOnly = false;
    std::vector<std::uint32_t> shown; // plan indexes of the rows while only the changes are shown
    Layout layout;
};

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
    RECT minimum{0, 0, second.right, second.bottom};
    AdjustWindowRectEx(&minimum, static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE)));
    layout.minimumTrackSize = POINT{minimum.right - minimum.left, minimum.bottom - minimum.top};
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

std::wstring SummaryText(const PlanSummary& summary)
{
    return L"Entries: " + std::to_wstring(summary.entries) + L", to rename: " + std::to_wstring(summary.toRename) +
           L", already right: " + std::to_wstring(summary.alreadyRight) + L", read-only marks to clear: " +
           std::to_wstring(summary.readOnlyToClear) + L", tags to write: " + std::to_wstring(summary.tagsToWrite) +
           L", cannot change: " + std::to_wstring(summary.cannotChange);
}

void AddColumns(HWND list)
{
    RECT client{};
    GetClientRect(list, &client);
    int width = client.right - GetSystemMetrics(SM_CXVSCROLL);
    int used = 0;
    int index = 0;
    for (const ColumnLayout& layout : kColumns) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<wchar_t*>(layout.title);
        column.cx = layout.percent > 0 ? width * layout.percent / 100 : std::max(width - used, 60);
        column.iSubItem = index;
        used += column.cx;
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index++), reinterpret_cast<LPARAM>(&column));
    }
}

// The list holds no rows of its own: it asks for each visible cell (LVN_GETDISPINFO), so
// showing or filtering 100,000 entries costs one pass over the plan at most.
void ShowRows(HWND dialog, PreviewState& state)
{
    const std::vector<PlannedEntry>& entries = state.plan->entries;
    state.shown.clear();
    if (state.changesOnly) {
        for (size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].status != PlanStatus::AlreadyRight)
                state.shown.push_back(static_cast<std::uint32_t>(i));
        }
    }
    size_t rows = state.changesOnly ? state.shown.size() : entries.size();
    HWND list = GetDlgItem(dialog, IDC_PREVIEW_LIST);
    ListView_SetItemCountEx(list, static_cast<int>(std::min<size_t>(rows, INT_MAX)), 0);
    // The rows mean other entries now. Wine clears a state row by row, a twentieth of a second
    // for 100,000 rows: only a selection is cleared, and the focus is moved, not cleared.
    if (ListView_GetSelectedCount(list) > 0)
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    if (rows > 0) {
        // Arrow keys start from the first row.
        ListView_SetItemState(list, 0, LVIS_FOCUSED, LVIS_FOCUSED);
        ListView_EnsureVisible(list, 0, FALSE);
    }
    InvalidateRect(list, nullptr, TRUE);
}

const PlannedEntry* EntryOfRow(const PreviewState& state, int row)
{
    if (row < 0)
        return nullptr;
    size_t index = static_cast<size_t>(row);
    if (state.changesOnly) {
        if (index >= state.shown.size())
            return nullptr;
        index = state.shown[index];
    }
    return index < state.plan->entries.size() ? &state.plan->entries[index] : nullptr;
}

// ".\Sub" of ".\Sub\Name.txt"; "." for an entry of the chosen folder itself.
std::wstring_view FolderOf(const std::wstring& path)
{
    size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring_view() : std::wstring_view(path).substr(0, slash);
}

void CopyCellText(LVITEMW& item, std::wstring_view text)
{
    size_t length = std::min(text.size(), static_cast<size_t>(item.cchTextMax - 1));
    std::copy_n(text.data(), length, item.pszText);
    item.pszText[length] = L'\0';
}

BOOL OnInitDialog(HWND dialog, PreviewState* state)
{
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    state->layout = MeasureLayout(dialog);
    SetDlgItemTextW(dialog, IDC_PREVIEW_SUMMARY, SummaryText(SummarizePlan(*state->plan)).c_str());
    HWND list = GetDlgItem(dialog, IDC_PREVIEW_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
    AddColumns(list);
    ShowRows(dialog, *state);
    RECT client{};
    GetClientRect(dialog, &client);
    PlaceControls(dialog, state->layout, client.right, client.bottom);
    CentreOverOwner(dialog, GetWindow(dialog, GW_OWNER), HWND_TOP, 0);
    SetFocus(list);
    // FALSE: the focus stays on the list set above.
    return FALSE;
}

void OnGetDispInfo(const PreviewState& state, NMLVDISPINFOW& info)
{
    LVITEMW& item = info.item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0)
        return;
    const PlannedEntry* entry = EntryOfRow(state, item.iItem);
    if (!entry) {
        item.pszText[0] = L'\0';
        return;
    }
    switch (item.iSubItem) {
    case FolderColumn:
        CopyCellText(item, FolderOf(entry->path));
        break;
    case NameNowColumn:
        CopyCellText(item, entry->Name());
        break;
    case NameAfterColumn:
        // An entry that cannot change keeps its name; the plan holds the name it was refused.
        CopyCellText(item, entry->status == PlanStatus::CannotChange ? entry->Name() : std::wstring_view(entry->newName));
        break;
    case WhatHappensColumn:
        CopyCellText(item, DescribePlannedEntry(*entry));
        break;
    default:
        item.pszText[0] = L'\0';
        break;
    }
}

BOOL OnNotify(HWND dialog, NMHDR* header)
{
    PreviewState* state = StateOf(dialog);
    if (!state || header->idFrom != IDC_PREVIEW_LIST || header->code != LVN_GETDISPINFOW)
        return FALSE;
    OnGetDispInfo(*state, *reinterpret_cast<NMLVDISPINFOW*>(header));
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
        if (PreviewState* state = StateOf(dialog)) {
            state->changesOnly = IsDlgButtonChecked(dialog, IDC_PREVIEW_CHANGES_ONLY) == BST_CHECKED;
            ShowRows(dialog, *state);
        }
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
    PlaceControls(dialog, state->layout, width, height);
    return TRUE;
}

BOOL OnGetMinMaxInfo(HWND dialog, MINMAXINFO& info)
{
    PreviewState* state = StateOf(dialog);
    if (!state)
        return FALSE;
    info.ptMinTrackSize = state->layout.minimumTrackSize;
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
