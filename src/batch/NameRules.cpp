// What a new name must not be, whatever a \\?\ path would let a program create.
#include "NameRules.h"

#include "AsciiCase.h"

#include <windows.h>

bool IsReservedDeviceName(std::wstring_view name)
{
    // The device is named by what stands before the first dot, trailing blanks ignored.
    std::wstring_view stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ')
        stem.remove_suffix(1);
    if (stem.size() == 3) {
        for (std::wstring_view device : {L"CON", L"PRN", L"AUX", L"NUL"}) {
            if (EqualsAsciiNoCase(stem, device))
                return true;
        }
        return false;
    }
    if (stem.size() != 4)
        return false;
    bool port = EqualsAsciiNoCase(stem.substr(0, 3), L"COM") || EqualsAsciiNoCase(stem.substr(0, 3), L"LPT");
    // Windows also takes the superscript digits one to three as port numbers.
    wchar_t digit = stem[3];
    return port && ((digit >= L'1' && digit <= L'9') || digit == L'\u00b9' || digit == L'\u00b2' || digit == L'\u00b3');
}

std::wstring FoldedName(std::wstring_view name)
{
    std::wstring folded(name);
    if (!folded.empty())
        CharUpperBuffW(folded.data(), static_cast<DWORD>(folded.size()));
    return folded;
}
