// The program icon at the sizes a window's DPI asks for.
#include "ProgramIcon.h"

#include "DpiScale.h"
#include "UniqueHandle.h"
#include "resource.h"

#include <vector>

namespace {
struct LoadedIcon {
    int size;
    UniqueIcon icon;
};
} // namespace

HICON ProgramIcon(int size)
{
    // Few sizes are ever asked for; each stays loaded, as the class icon does.
    static std::vector<LoadedIcon> loaded;
    for (const LoadedIcon& each : loaded) {
        if (each.size == size)
            return each.icon.get();
    }
    HICON icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_NOMARO), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    if (icon)
        loaded.push_back(LoadedIcon{size, UniqueIcon(icon)});
    return icon;
}

void ShowProgramIcons(HWND window, UINT dpi)
{
    HICON largeIcon = nullptr;
    HICON smallIcon = nullptr;
    if (dpi != kLayoutDpi) {
        largeIcon = ProgramIcon(SystemMetricForDpi(SM_CXICON, dpi));
        smallIcon = ProgramIcon(SystemMetricForDpi(SM_CXSMICON, dpi));
    }
    // None gives the window its class's icons back.
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
}
