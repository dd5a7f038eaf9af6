// What a new name must not be, whatever a \\?\ path would let a program create.
#include "NameRules.h"

#include "AsciiCase.h"

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
    return std::any_of(name.begin(), name.end(), IsForbiddenNameUnit);
}

bool EndsInDotOrBlank(std::wstring_view name)
{
    return !name.empty() && (name.back() == L'.' || name.back() == L' ');
}

// The platform's upper case folds the ASCII letters alone of an ASCII text, as FoldAsciiUpper
// does, without the table: most names are ASCII, and a big run folds each several times.
static bool IsAscii(std::wstring_view text)
{
    return std::all_of(text.begin(), text.end(), [](wchar_t unit) { return unit < 0x80; });
}

// Folds name unit by unit as FoldedName does, into a buffer of its length.
static void FoldInto(std::wstring_view name, wchar_t* folded)
{
    if (IsAscii(name)) {
        std::transform(name.begin(), name.end(), folded, FoldAsciiUpper);
        return;
    }
    const std::vector<wchar_t>& upper = UnitCase().upper;
    std::transform(name.begin(), name.end(), folded, [&upper](wchar_t unit) { return upper[UnitIndex(unit)]; });
}

// Folded whole in buffers that hold any name a folder can have.
static constexpr size_t kBufferUnits = 2 * kMaxNameLength;

size_t FoldedNameHash(std::wstring_view name)
{
    if (name.size() > kBufferUnits)
        return std::hash<std::wstring>()(FoldedName(name));
    wchar_t folded[kBufferUnits];
    FoldInto(name, folded);
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
    FoldInto(a, left);
    FoldInto(b, right);
    return std::equal(left, left + a.size(), right);
}
