// Sizes for a window's DPI: a layout made for 96 DPI scaled edge by edge, fonts from their 96-DPI
// heights, and the DPI calls of newer Windows, looked up, with the system DPI where they are missing.
#pragma once

#include <windows.h>

// The DPI the layouts are given at: 100 %.
constexpr UINT kLayoutDpi = 96;

// The DPI a window is drawn at: its monitor's on Windows 10 1607 and later, else the system's.
UINT WindowDpi(HWND window);
// The DPI of the primary monitor as the process sees it.
UINT SystemDpi();

// A length of the 96-DPI layout at dpi.
int ScaleToDpi(int length, UINT dpi);
// A rectangle from one DPI to another. The edges are scaled, not the sizes, so controls that touch
// or line up at one DPI still do at the other.
RECT ScaleRectBetween(const RECT& rect, UINT fromDpi, UINT toDpi);
// A rectangle of the 96-DPI layout (x, y, width, height) at dpi.
RECT ScaleBoxToDpi(int x, int y, int width, int height, UINT dpi);

// A system metric (SM_CXICON ...) as it is at dpi.
int SystemMetricForDpi(int index, UINT dpi);
// The outer size at dpi of a window that is outer96 at 96 DPI: its client area scaled, and the
// frame, caption and menu bar the system draws at dpi around it. At 96 DPI it is outer96.
SIZE OuterSizeForDpi(SIZE outer96, DWORD style, DWORD exStyle, bool menu, UINT dpi);

// The outer size at dpi of a window whose client area is client.
SIZE OuterSizeForClient(SIZE client, DWORD style, DWORD exStyle, bool menu, UINT dpi);

// A font for dpi from its cell height at 96 DPI; the other fields as CreateFontW's defaults.
HFONT CreateFontForDpi(const wchar_t* face, int height96, int weight, UINT dpi);

// WM_DPICHANGED: the new DPI (wParam), and the window moved to the rectangle the system suggests
// for it (lParam), which keeps it where the user dragged it.
UINT NewDpiOf(WPARAM dpiChangedWParam);
void MoveToSuggestedRect(HWND window, LPARAM dpiChangedLParam);
