// ASCII-only case folding: only A-Z and a-z change; every other unit stays by value.
#pragma once

#include <string>
#include <string_view>

inline wchar_t FoldAsciiLower(wchar_t unit) { return (unit >= L'A' && unit <= L'Z') ? wchar_t(unit + 32) : unit; }
inline wchar_t FoldAsciiUpper(wchar_t unit) { return (unit >= L'a' && unit <= L'z') ? wchar_t(unit - 32) : unit; }

// In-place conversion of a zero-terminated text, unit by unit.
void LowerAscii(wchar_t* text);
void UpperAscii(wchar_t* text);

void LowerAscii(std::wstring& text);
void UpperAscii(std::wstring& text);

bool EqualsAsciiNoCase(std::wstring_view a, std::wstring_view b);
bool StartsWithAsciiNoCase(std::wstring_view text, std::wstring_view prefix);
