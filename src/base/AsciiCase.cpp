// ASCII-only case folding: only A-Z and a-z change; every other unit stays by value.
#include "AsciiCase.h"

void LowerAscii(wchar_t* text)
{
    for (; *text; ++text)
        *text = FoldAsciiLower(*text);
}

void UpperAscii(wchar_t* text)
{
    for (; *text; ++text)
        *text = FoldAsciiUpper(*text);
}

void LowerAscii(std::wstring& text)
{
    for (wchar_t& unit : text)
        unit = FoldAsciiLower(unit);
}

void UpperAscii(std::wstring& text)
{
    for (wchar_t& unit : text)
        unit = FoldAsciiUpper(unit);
}

bool EqualsAsciiNoCase(std::wstring_view a, std::wstring_view b)
{
    return a.size() == b.size() && StartsWithAsciiNoCase(a, b);
}

bool StartsWithAsciiNoCase(std::wstring_view text, std::wstring_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (FoldAsciiLower(text[i]) != FoldAsciiLower(prefix[i]))
            return false;
    }
    return true;
}
