// The main window's child controls: their table, their creation and their state from the settings.
#pragma once

#include <windows.h>

#include <vector>

// One row of the control table, laid out for 96 DPI; x may count from the right edge of the client area.
struct ControlRow {
    int id;
    const wchar_t* className;
    const wchar_t* text; // none: the text comes from the settings
    DWORD style;         // besides WS_CHILD
    DWORD exStyle;
    int x, y, width, height;
    bool fromRight;   // x is measured back from the client width
    bool takesUiFont; // gets the shared UI font once all controls exist
};

// Creates the controls for the window's DPI, restores the stored mode and choices, loads the drop
// picture.
void CreateMainControls(HWND window, UINT dpi);

// Moves every control to its place for dpi and gives it the shared UI font (a DPI change).
void PlaceMainControls(HWND window, UINT dpi);
