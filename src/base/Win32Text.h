// Wrappers for the Win32 calls that return text: sized calls that grow and retry, and error texts.
#pragma once

#include <windows.h>

#include <string>

std::wstring GetCurrentDirectoryString();
std::wstring GetModuleFileNameString(HMODULE module);
// The absolute form of path; path itself when the system cannot make one.
std::wstring GetFullPathNameString(const std::wstring& path);

// Converts UTF-16 text to the ANSI code page with the platform's default
// replacement (no flags), as the listing and the MP3 tag need it.
std::string ToAnsi(const std::wstring& text);

// The system's own text for an error code (FormatMessageW), without its closing line break;
// "Error N" when the system has no text for it.
std::wstring SystemErrorText(DWORD error);
// The error code of the call that just failed, or fallback where it left none: a failure that is
// told must say why.
DWORD LastErrorOr(DWORD fallback);
