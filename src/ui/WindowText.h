// A window's or a dialog control's whole text, however long.
#pragma once

#include <windows.h>

#include <string>

std::wstring GetWindowTextString(HWND window);
std::wstring GetDlgItemTextString(HWND dialog, int id);
