// The main window: its procedure, its hint text, its fixed size and its tear-down.
#include "MainWindow.h"

#include "AppState.h"
#include "DpiScale.h"
#include "DropPanel.h"
#include "HighContrast.h"
#include "KeyboardCues.h"
#include "MainCommands.h"
#include "MainControls.h"
#include "ProgramIcon.h"
#include "TabOrder.h"
#include "WindowSettings.h"
#include "resource.h"

#include <commctrl.h>

static constexpr wchar_t kMainWindowTitle[] = L"Nomaro by Kestrith";
const wchar_t kHintText[] = L"Drag and drop files or folders onto image";

static constexpr DWORD kMainWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

// The control that had the focus when the window was last deactivated.
static HWND SavedFocus = nullptr;
// The DPI the window is laid out for; none before it exists.
static UINT LayoutDpi = 0;

static HFONT CreateUiFont(UINT dpi)
{
    return CreateFontForDpi(L"Tahoma", 14, 0, dpi);
}

static HFONT CreateHintFont(UINT dpi)
{
    return CreateFontForDpi(L"Tahoma", 16, 0, dpi);
}

static UINT MainWindowDpi(HWND window)
{
    return LayoutDpi ? LayoutDpi : WindowDpi(window);
}

// The one size of the window: 450 x 690 at 96 DPI, the client area scaled at any other.
static SIZE MainWindowSize(UINT dpi)
{
    return OuterSizeForDpi(SIZE{kMainWindowWidth, kMainWindowHeight}, kMainWindowStyle, 0, true, dpi);
}

// The hint in the upper right corner; a run blanks it, as the progress bar stands there.
static void PaintHint(HWND window)
{
    UINT dpi = MainWindowDpi(window);
    UniqueFont hintFont(CreateHintFont(dpi));
    RECT client{};
    GetClientRect(window, &client);
    RECT hint{client.right - ScaleToDpi(180, dpi), ScaleToDpi(10, dpi), client.right - ScaleToDpi(20, dpi), ScaleToDpi(50, dpi)};
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    if (BatchBusy) {
        FillRect(dc, &hint, GetSysColorBrush(COLOR_BTNFACE));
    } else {
        SelectedObject selected(dc, hintFont.get());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ThemeColour(RGB(0, 0, 0), COLOR_BTNTEXT));
        DrawTextW(dc, kHintText, -1, &hint, DT_RIGHT | DT_WORDBREAK);
    }
    EndPaint(window, &paint);
}

static void OnDestroy(HWND window)
{
    static constexpr int kDestroyedFirst[] = {IDC_FOLDER, IDC_DROP_PANEL,   IDC_UPPER,
                                              IDC_LOWER,  IDC_NAME,         IDC_NAME_LABEL,
                                              IDC_EXT,    IDC_EXT_LABEL,    IDC_START_NUMBER,
                                              IDC_START_NUMBER_LABEL,       IDC_START,
                                              IDC_NUMBER, IDC_PROGRESS};
    SaveWindowSettings(window);
    // Released unsaved: every run saved it at its end.
    History.reset();
    UiFont.reset();
    for (int id : kDestroyedFirst) {
        if (HWND child = GetDlgItem(window, id))
            DestroyWindow(child);
    }
    SavedFocus = nullptr;
    LayoutDpi = 0;
    PostQuitMessage(0);
}

// The window's DPI is known once it exists; on a monitor at another DPI than the primary one the
// font made at start-up and the size the window was made with are replaced first.
static void OnCreate(HWND window)
{
    LayoutDpi = WindowDpi(window);
    if (LayoutDpi != SystemDpi())
        UiFont.reset(CreateUiFont(LayoutDpi));
    SIZE size = MainWindowSize(LayoutDpi);
    SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CreateMainControls(window, LayoutDpi);
    ShowProgramIcons(window, LayoutDpi);
    ShowKeyboardCues(window);
}

// Moved to a monitor of another scale: the suggested rectangle, then everything laid out, drawn and
// lettered again for the new DPI. The controls keep their texts and states.
static void OnDpiChanged(HWND window, UINT dpi, LPARAM suggested)
{
    LayoutDpi = dpi;
    // The controls draw with the earlier font until they have the new one.
    UniqueFont earlier(UiFont.release());
    UiFont.reset(CreateUiFont(dpi));
    MoveToSuggestedRect(window, suggested);
    PlaceMainControls(window, dpi);
    LoadDropPicture(GetDlgItem(window, IDC_DROP_PANEL));
    ShowProgramIcons(window, dpi);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

static void OnActivate(WPARAM wParam)
{
    if (LOWORD(wParam) == WA_INACTIVE)
        SavedFocus = GetFocus();
}

// With no control to give the focus back to, the first control takes it, so that the focus is
// always somewhere to be seen.
static void OnSetFocus(HWND window)
{
    if (SavedFocus && IsWindow(SavedFocus))
        SetFocus(SavedFocus);
    else if (HWND first = FirstInTabOrder(window))
        SetFocus(first);
}

// High contrast switched on or off: the hint's colour is read again when it is painted, and the
// common controls are told, as they ask to be.
static void OnSystemColoursChanged(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SYSCOLORCHANGE)
        SendDlgItemMessageW(window, IDC_PROGRESS, message, wParam, lParam);
    InvalidateRect(window, nullptr, TRUE);
}

// Dragging the border changes nothing: the window keeps its one size.
static void OnGetMinMaxInfo(HWND window, MINMAXINFO* info)
{
    SIZE size = MainWindowSize(MainWindowDpi(window));
    info->ptMinTrackSize = {size.cx, size.cy};
    info->ptMaxTrackSize = {size.cx, size.cy};
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        return 0;
    case WM_CLOSE:
        RequestClose(window);
        return 0;
    case WM_DESTROY:
        OnDestroy(window);
        return 0;
    case WM_ACTIVATE:
        OnActivate(wParam);
        return 0;
    case WM_SETFOCUS:
        OnSetFocus(window);
        return 0;
    case WM_PAINT:
        PaintHint(window);
        return 0;
    case WM_GETMINMAXINFO:
        OnGetMinMaxInfo(window, reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(window, NewDpiOf(wParam), lParam);
        return 0;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        OnSystemColoursChanged(window, message, wParam, lParam);
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_COMMAND:
        HandleCommand(window, LOWORD(wParam));
        return 0;
    case WM_INITMENUPOPUP:
        UpdateMenuItems(window, reinterpret_cast<HMENU>(wParam));
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool CreateMainWindow(HINSTANCE instance, int showCommand)
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    // Made for the primary monitor, where the window usually opens; its creation corrects both
    // for another one.
    UINT dpi = SystemDpi();
    UiFont.reset(CreateUiFont(dpi));
    SIZE size = MainWindowSize(dpi);
    HWND window = CreateWindowExW(0, kMainWindowClass, kMainWindowTitle, kMainWindowStyle, CW_USEDEFAULT, 0, size.cx,
                                  size.cy, nullptr, nullptr, instance, nullptr);
    if (!window)
        return false;
    MainWindowHandle = window;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return true;
}
