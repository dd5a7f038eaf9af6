// Placing a dialog over its owner: centred, and kept inside the work area of the owner's monitor.
#include "WindowPlacement.h"

// The halving truncates toward zero, as signed division does.
static POINT CentredOver(const RECT& owner, const RECT& window)
{
    LONG x = owner.left + ((owner.right - owner.left) - (window.right - window.left)) / 2;
    LONG y = owner.top + ((owner.bottom - owner.top) - (window.bottom - window.top)) / 2;
    return POINT{x, y};
}

// An owner near a screen edge would push part of a wider window, its caption perhaps, off the
// screen.
static POINT KeptOnScreen(POINT corner, const RECT& window, HWND owner)
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor))
        return corner;
    const RECT& area = monitor.rcWork;
    LONG width = window.right - window.left;
    LONG height = window.bottom - window.top;
    if (corner.x + width > area.right)
        corner.x = area.right - width;
    if (corner.y + height > area.bottom)
        corner.y = area.bottom - height;
    if (corner.x < area.left)
        corner.x = area.left;
    if (corner.y < area.top)
        corner.y = area.top;
    return corner;
}

void CentreOverOwner(HWND window, HWND owner, HWND insertAfter, UINT extraFlags)
{
    RECT ownerBounds{}, bounds{};
    if (!owner || !GetWindowRect(owner, &ownerBounds) || !GetWindowRect(window, &bounds))
        return;
    POINT corner = KeptOnScreen(CentredOver(ownerBounds, bounds), bounds, owner);
    SetWindowPos(window, insertAfter, corner.x, corner.y, 0, 0, SWP_NOSIZE | extraFlags);
}
