// In-place trimming of leading and trailing characters of a set.
#pragma once

#include <string>
#include <string_view>

void TrimLeading(std::wstring& text, std::wstring_view characterSet);
void TrimTrailing(std::wstring& text, std::wstring_view characterSet);

// Splits a text into the tokens between runs of separator characters; no empty tokens.
std::wstring SplitNextToken(std::wstring_view& rest, std::wstring_view separators);
