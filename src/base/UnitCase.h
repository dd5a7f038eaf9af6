// Letter case as the platform gives it, unit by unit: the upper and lower case and the kind of
// every UTF-16 unit, asked of the platform once; and names folded as the file system folds them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The platform's invariant upper and lower case of every unit, and its CT_CTYPE1 kind. Surrogates
// (halves of characters beyond the first plane) are no letters and map to themselves. Made once,
// on first use: a plan cases and compares names by the hundred thousand, and a call of the
// platform per name would cost more than the rest of the planning.
struct UnitCaseTables {
    std::vector<wchar_t> upper;
    std::vector<wchar_t> lower;
    std::vector<WORD> type;
};
const UnitCaseTables& UnitCase();

inline size_t UnitIndex(wchar_t unit)
{
    return static_cast<size_t>(static_cast<std::uint16_t>(unit));
}

// Names compared whatever their case, as the file system compares them: each unit upper-cased
// alone, so that a name keeps its length. Into folded, whose room may be used again and again.
void FoldName(std::wstring_view name, std::wstring& folded);
std::wstring FoldedName(std::wstring_view name);
