// The help launcher: loads the platform's HTML Help control on the first request and
// forwards every request to its wide-character entry point.
#pragma once

#include <windows.h>

inline constexpr UINT kHelpDisplayToc = 1; // HH_DISPLAY_TOC
inline constexpr DWORD kHelpLibraryPathSize = 260;

// Same arguments and result as HtmlHelpW; none when the control cannot be loaded, and
// after one failure no later request tries again.
HWND ShowHtmlHelp(HWND caller, const wchar_t* helpFile, UINT command, DWORD_PTR data);
// The control's registered location, in the ANSI code page; false when none is usable.
bool FindHtmlHelpLibrary(char (&result)[kHelpLibraryPathSize]);
