// The main window: its controls, mode rules and tear-down.
#include "MainWindow.h"

#include "AppState.h"

#include <commctrl.h>

static constexpr wchar_t kMainWindowTitle[] = L"Nomaro by Kestrith";
static constexpr int kMainWindowWidth = 450;
static constexpr int kMainWindowHeight = 690;

// Filled in with the main window's controls.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (message == WM_DESTROY) {
        UiFont.reset();
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

static HFONT CreateUiFont()
{
    return CreateFontW(14, 0, 0, 0, 0, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
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
