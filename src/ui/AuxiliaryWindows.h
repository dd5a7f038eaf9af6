// The About dialog, the offer window and the help launcher.
#pragma once

#include <windows.h>

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
LRESULT CALLBACK OfferWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
BOOL OpenOfferWindow(HWND owner);
HWND ShowHtmlHelp(HWND caller, const wchar_t* helpFile, UINT command, DWORD_PTR data);
