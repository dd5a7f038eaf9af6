// Hyperlink labels: any static control becomes a blue, hand-cursor link whose clicks
// reach its parent as commands carrying the control's identifier.
#pragma once

#include <windows.h>

// Window properties of a link and of its parent.
inline constexpr wchar_t kStaticLinkProperty[] = L"CF_StaticLink";
inline constexpr wchar_t kOriginalProcedureProperty[] = L"CF_OriginalProcedure";
inline constexpr wchar_t kOriginalFontProperty[] = L"CF_OriginalFont";
inline constexpr wchar_t kUnderlineFontProperty[] = L"CF_UnderlineFont";

inline constexpr COLORREF kLinkColour = RGB(0, 0, 255);

// Call after the control has its final font: the underlined font is derived from it.
BOOL MakeStaticLink(HWND control);
LRESULT CALLBACK LinkParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
LRESULT CALLBACK StaticLinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
