// Letter case as the platform gives it, unit by unit, and names folded as the file system folds them.
#include "UnitCase.h"

static constexpr size_t kUnitCount = 0x10000;

static UnitCaseTables MakeUnitCaseTables()
{
    std::vector<wchar_t> units(kUnitCount);
    for (size_t i = 0; i < kUnitCount; ++i)
        units[i] = static_cast<wchar_t>(i);
    UnitCaseTables tables{units, units, std::vector<WORD>(kUnitCount, 0)};
    const struct {
        size_t first, count;
    } ranges[] = {{0, 0xD800}, {0xE000, 0x2000}};
    for (const auto& range : ranges) {
        int count = static_cast<int>(range.count);
        LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, &units[range.first], count, &tables.upper[range.first],
                      count, nullptr, nullptr, 0);
        LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, &units[range.first], count, &tables.lower[range.first],
                      count, nullptr, nullptr, 0);
        GetStringTypeW(CT_CTYPE1, &units[range.first], count, &tables.type[range.first]);
    }
    return tables;
}

const UnitCaseTables& UnitCase()
{
    static const UnitCaseTables tables = MakeUnitCaseTables();
    return tables;
}

void FoldName(std::wstring_view name, std::wstring& folded)
{
    const std::vector<wchar_t>& upper = UnitCase().upper;
    folded.resize(name.size());
    for (size_t i = 0; i < name.size(); ++i)
        folded[i] = upper[UnitIndex(name[i])];
}

std::wstring FoldedName(std::wstring_view name)
{
    std::wstring folded;
    FoldName(name, folded);
    return folded;
}
