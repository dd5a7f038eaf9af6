// The "Free Book" window (class Nomaro_FreeBook): one at most, fixed size, self-painted.
#pragma once

#include <windows.h>

inline constexpr wchar_t kOfferWindowClassName[] = L"Nomaro_FreeBook";
inline constexpr wchar_t kOfferPdfName[] = L"offer.pdf";

// Shows the offer window, or brings the open one forward; returns TRUE always.
BOOL OpenOfferWindow(HWND owner);
LRESULT CALLBACK OfferWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// The open offer window, or none.
HWND OfferWindowHandle();
