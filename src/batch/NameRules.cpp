// What a new name must not be, whatever a \\?\ path would let a program create.
#include "NameRules.h"

#include "AsciiCase.h"

#include <windows.h>

#include <algorithm>

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

bool IsBlankName(std::wstring_view name)
{
    return name.find_first_not_of(L". ") == std::wstring_view::npos;
}

bool HasForbiddenCharacter(std::wstring_view name)
{
    return std::any_of(name.begin(), name.end(), [](wchar_t unit) {
        return unit < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(unit) != std::wstring_view::npos;
    });
}

bool EndsInDotOrBlank(std::wstring_view name)
{
    return !name.empty() && (name.back() == L'.' || name.back() == L' ');
}

std::wstring FoldedName(std::wstring_view name)
{
    std::wstring folded(name);
    if (!folded.empty())
        CharUpperBuffW(folded.data(), static_cast<DWORD>(folded.size()));
    return folded;
}

// Folded whole, as FoldedName folds them, in buffers that hold any name a folder can have.
static constexpr size_t kBufferUnits = 2 * kMaxNameLength;

// CharUpperBuffW folds the ASCII letters alone of an ASCII text, as FoldAsciiUpper does, without
// the call: most names are ASCII, and a big run folds each several times.
static bool IsAscii(std::wstring_view text)
{
    return std::all_of(text.begin(), text.end(), [](wchar_t unit) { return unit < 0x80; });
}

size_t FoldedNameHash(std::wstring_view name)
{
    if (name.size() > kBufferUnits)
        return std::hash<std::wstring>()(FoldedName(name));
    wchar_t folded[kBufferUnits];
    if (IsAscii(name)) {
        std::transform(name.begin(), name.end(), folded, FoldAsciiUpper);
    } else {
        std::copy(name.begin(), name.end(), folded);
        if (!name.empty())
            CharUpperBuffW(folded, static_cast<DWORD>(name.size()));
    }
    return std::hash<std::wstring_view>()(std::wstring_view(folded, name.size()));
}

bool EqualsFolded(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size())
        return false;
    if (a == b)
        return true;
    // Only when both are: a letter beyond ASCII may fold to an ASCII one (U+0131 to I).
    if (IsAscii(a) && IsAscii(b))
        return EqualsAsciiNoCase(a, b);
    if (a.size() > kBufferUnits)
        return FoldedName(a) == FoldedName(b);
    wchar_t left[kBufferUnits];
    wchar_t right[kBufferUnits];
    std::copy(a.begin(), a.end(), left);
    std::copy(b.begin(), b.end(), right);
    CharUpperBuffW(left, static_cast<DWORD>(a.size()));
    CharUpperBuffW(right, static_cast<DWORD>(b.size()));
    return std::equal(left, left + a.size(), right);
}
