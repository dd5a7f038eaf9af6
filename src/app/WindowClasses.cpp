// The program's three window classes.
#include "WindowClasses.h"

#include "AppState.h"
#include "AuxiliaryWindows.h"
#include "DropPanel.h"
#include "MainWindow.h"
#include "ProgramIcon.h"
#include "resource.h"

// The classes' icon, large and small alike; a window at another DPI than 96 shows its own.
static constexpr int kClassIconSize = 32;

static bool RegisterOne(HINSTANCE instance, const wchar_t* name, UINT style, WNDPROC procedure, HICON icon,
                        int backgroundColour, const wchar_t* menu)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hIconSm = icon;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(backgroundColour);
    windowClass.lpszMenuName = menu;
    windowClass.lpszClassName = name;
    return RegisterClassExW(&windowClass) != 0;
}

bool RegisterWindowClasses(HINSTANCE instance)
{
    // One icon serves every class as large and small icon for the life of the process.
    HICON icon = ProgramIcon(kClassIconSize);
    return RegisterOne(instance, kMainWindowClass, 0, MainWindowProc, icon, COLOR_BTNFACE, MAKEINTRESOURCEW(IDR_MAIN_MENU)) &&
           RegisterOne(instance, kOfferWindowClassName, CS_HREDRAW | CS_VREDRAW, OfferWindowProc, icon, COLOR_WINDOW, nullptr) &&
           RegisterOne(instance, kDropPanelClass, CS_HREDRAW | CS_VREDRAW, DropPanelProc, nullptr, COLOR_BTNFACE, nullptr);
}
