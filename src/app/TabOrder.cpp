// The main window's keyboard order: Tab and Shift+Tab go through the controls as they are seen
// (top to bottom, left to right), and the arrow keys through a radio group, while the creation
// order, which the radio groups and the z-order follow, stays as it is.
#include "TabOrder.h"

#include "resource.h"

#include <iterator>
#include <vector>

namespace {
// The mode radios in the order they are seen; Number stands below the listing row.
constexpr int kModeRadios[] = {IDC_LOWER, IDC_UPPER, IDC_READ_ONLY, IDC_FAVORITES, IDC_LISTING, IDC_NUMBER};
constexpr int kFormatRadios[] = {IDC_RTF, IDC_PLAIN_TEXT};

// One stop of the order: a control, or a radio group entered as one.
struct Stop {
    int id; // 0 for a group
    const int* radios;
    size_t radioCount;
};

// By creation order the listing's format radios would come after Start, and the labels between
// the mode radios would take the arrow keys.
const Stop kStops[] = {
    {0, kModeRadios, std::size(kModeRadios)},
    {IDC_FONT_SELECT, nullptr, 0},
    {0, kFormatRadios, std::size(kFormatRadios)},
    {IDC_NAME, nullptr, 0},
    {IDC_EXT, nullptr, 0},
    {IDC_START_NUMBER, nullptr, 0},
    {IDC_FILL_TAGS, nullptr, 0},
    {IDC_START, nullptr, 0},
};

// Shown and enabled itself; whether the window is shown does not change the order.
bool CanTakeFocus(HWND control)
{
    return control && (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) && IsWindowEnabled(control);
}

bool IsGroup(const Stop& stop)
{
    return stop.radios != nullptr;
}

bool Holds(const Stop& stop, int id)
{
    if (!IsGroup(stop))
        return stop.id == id;
    for (size_t i = 0; i < stop.radioCount; ++i) {
        if (stop.radios[i] == id)
            return true;
    }
    return false;
}

// A group is entered at its checked radio, or at its first that can take the focus when none is.
HWND ControlOf(HWND window, const Stop& stop)
{
    if (!IsGroup(stop)) {
        HWND control = GetDlgItem(window, stop.id);
        return CanTakeFocus(control) ? control : nullptr;
    }
    HWND first = nullptr;
    for (size_t i = 0; i < stop.radioCount; ++i) {
        HWND radio = GetDlgItem(window, stop.radios[i]);
        if (!CanTakeFocus(radio))
            continue;
        if (SendMessageW(radio, BM_GETCHECK, 0, 0) == BST_CHECKED)
            return radio;
        if (!first)
            first = radio;
    }
    return first;
}

int StopOf(HWND window, HWND control)
{
    if (!control || GetParent(control) != window)
        return -1;
    int id = GetDlgCtrlID(control);
    for (size_t i = 0; i < std::size(kStops); ++i) {
        if (Holds(kStops[i], id))
            return static_cast<int>(i);
    }
    return -1;
}

// As the dialog manager does: the focus, with an edit's text selected for typing over.
void GiveFocus(HWND control)
{
    SetFocus(control);
    if (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        SendMessageW(control, EM_SETSEL, 0, -1);
}

bool KeyDown(int key)
{
    return (GetKeyState(key) & 0x8000) != 0;
}

// Up and Left go back, Down and Right on, round the group; a radio reached this way is chosen, as
// the dialog manager chooses it. Elsewhere the arrows do nothing: by creation order the mode radios'
// group runs on over the buttons, fields and labels up to the format radios, and the dialog manager
// would move the focus onto a label or choose Number from the Select button.
bool MoveInGroup(HWND window, HWND focus, WPARAM key)
{
    int index = StopOf(window, focus);
    if (index < 0 || !IsGroup(kStops[index]))
        return true;
    const Stop& group = kStops[index];
    bool backward = key == VK_UP || key == VK_LEFT;
    int id = GetDlgCtrlID(focus);
    size_t count = group.radioCount;
    size_t at = 0;
    while (group.radios[at] != id)
        ++at;
    for (size_t step = 1; step < count; ++step) {
        size_t next = backward ? (at + count - step) % count : (at + step) % count;
        HWND radio = GetDlgItem(window, group.radios[next]);
        if (!CanTakeFocus(radio))
            continue;
        SetFocus(radio);
        if (SendMessageW(radio, BM_GETCHECK, 0, 0) != BST_CHECKED)
            SendMessageW(radio, BM_CLICK, 0, 0);
        return true;
    }
    return true;
}
// Where Tab (or Shift+Tab when backward) leads from the control from, as the window is now:
// disabled and hidden controls are passed over, a radio group is entered at its checked radio.
HWND NextInTabOrder(HWND window, HWND from, bool backward)
{
    int count = static_cast<int>(std::size(kStops));
    int at = StopOf(window, from);
    if (at < 0)
        at = backward ? 0 : count - 1;
    for (int step = 1; step <= count; ++step) {
        int next = backward ? (at - step + count) % count : (at + step) % count;
        if (HWND control = ControlOf(window, kStops[next]))
            return control;
    }
    return nullptr;
}

} // namespace

HWND FirstInTabOrder(HWND window)
{
    return NextInTabOrder(window, nullptr, false);
}

bool MoveFocusInMainWindow(HWND window, const MSG& message)
{
    if (!window || message.message != WM_KEYDOWN || (message.hwnd != window && !IsChild(window, message.hwnd)))
        return false;
    if (KeyDown(VK_CONTROL) || KeyDown(VK_MENU))
        return false;
    HWND focus = GetFocus();
    // A control that wants the key for itself keeps it.
    LRESULT wants = focus ? SendMessageW(focus, WM_GETDLGCODE, message.wParam, reinterpret_cast<LPARAM>(&message)) : 0;
    switch (message.wParam) {
    case VK_TAB: {
        if (wants & (DLGC_WANTTAB | DLGC_WANTALLKEYS))
            return false;
        HWND next = NextInTabOrder(window, focus, KeyDown(VK_SHIFT));
        if (next)
            GiveFocus(next);
        return true;
    }
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
        if (wants & (DLGC_WANTARROWS | DLGC_WANTALLKEYS))
            return false;
        return MoveInGroup(window, focus, message.wParam);
    default:
        return false;
    }
}
