// The main window: its procedure, its hint text, its fixed size and its tear-down.
#include "MainWindow.h"

#include "AppState.h"
#include "MainCommands.h"
#include "MainControls.h"
#include "WindowSettings.h"
#include "resource.h"

#include <commctrl.h>

static constexpr wchar_t kMainWindowTitle[] = L"Nomaro by Kestrith";
const wchar_t kHintText[] = L"Drag and drop files or folders onto image";

// The control that had the focus when the window was last deactivated.
static HWND SavedFocus = nullptr;

static HFONT CreateUiFont()
{
    return CreateFontW(14, 0, 0, 0, 0, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
}

static HFONT CreateHintFont()
{
    return CreateFontW(16, 0, 0, 0, 0, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
}

// The hint in the upper right corner; a run blanks it, as the progress bar stands there.
static void PaintHint(HWND window)
{
    UniqueFont hintFont(CreateHintFont());
    RECT client{};
    GetClientRect(window, &client);
    RECT hint{client.right - 180, 10, client.right - 20, 50};
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    if (BatchBusy) {
        FillRect(dc, &hint, GetSysColorBrush(COLOR_BTNFACE));
    } else {
        SelectedObject selected(dc, hintFont.get());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
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
    PostQuitMessage(0);
}

static void OnActivate(WPARAM wParam)
{
    if (LOWORD(wParam) == WA_INACTIVE)
        SavedFocus = GetFocus();
}

static void OnSetFocus()
{
    if (SavedFocus && IsWindow(SavedFocus))
        SetFocus(SavedFocus);
}

// Dragging the border changes nothing: the window keeps its one size.
static void OnGetMinMaxInfo(MINMAXINFO* info)
{
    info->ptMinTrackSize = {kMainWindowWidth, kMainWindowHeight};
    info->ptMaxTrackSize = {kMainWindowWidth, kMainWindowHeight};
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (message) {
    case WM_CREATE:
        CreateMainControls(window);
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
        OnSetFocus();
        return 0;
    case WM_PAINT:
        PaintHint(window);
        return 0;
    case WM_GETMINMAXINFO:
        OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
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
    UiFont.reset(CreateUiFont());
    HWND window = CreateWindowExW(0, kMainWindowClass, kMainWindowTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                  CW_USEDEFAULT, 0, kMainWindowWidth, kMainWindowHeight, nullptr, nullptr, instance, nullptr);
    if (!window)
        return false;
    MainWindowHandle = window;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return true;
}
