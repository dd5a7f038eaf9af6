// What a new name must not be, whatever a \\?\ path would let a program create.
#pragma once

#include "UnitCase.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The longest name one folder entry may have, in UTF-16 units.
constexpr size_t kMaxNameLength = 255;
// The longest path a volume takes, in UTF-16 units, in the \\?\ form.
constexpr size_t kMaxPathLength = 32767;

// True for the names Windows keeps for devices (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9,
// with any extension, in any letter case): ordinary programs would open the device instead.
bool IsReservedDeviceName(std::wstring_view name);

// The names Windows would not make, or would make into another: empty or only dots and blanks
// ("..", " . "); holding \ / : * ? " < > | or a control character; ending in a dot or a blank,
// which Windows strips, so that ordinary programs could not reach the entry.
bool IsBlankName(std::wstring_view name);
bool HasForbiddenCharacter(std::wstring_view name);
// One unit of such a name: a control character or one of \ / : * ? " < > |. A switch, not a
// search of the list: it runs for every unit of every new name as the user types.
constexpr bool IsForbiddenNameUnit(wchar_t unit)
{
    switch (unit) {
    case L'\\':
    case L'/':
    case L':':
    case L'*':
    case L'?':
    case L'"':
    case L'<':
    case L'>':
    case L'|':
        return true;
    default:
        return unit < 0x20;
    }
}
bool EndsInDotOrBlank(std::wstring_view name);

// Names are compared under FoldedName (UnitCase.h), the form under which the file system
// compares them, for finding a name that another entry of the same folder holds in another spelling.
// FoldedName(a) == FoldedName(b), without making either: the names of a big run are compared
// by the hundred thousand.
bool EqualsFolded(std::wstring_view a, std::wstring_view b);

// The hash of FoldedName(name), without making it.
size_t FoldedNameHash(std::wstring_view name);

// A name in one folder (by the walk's folder number), compared without regard to letter case:
// the key under which a run finds who holds a name. It refers to the name, which must outlive
// it: a map of 100,000 names keeps no copy of them.
struct FolderName {
    std::int32_t folder = 0;
    std::wstring_view name;
    size_t foldedHash = 0; // FoldedNameHash(name)

    bool operator==(const FolderName& other) const
    {
        return folder == other.folder && foldedHash == other.foldedHash && EqualsFolded(name, other.name);
    }
};

struct FolderNameHash {
    size_t operator()(const FolderName& key) const
    {
        return key.foldedHash ^ (static_cast<size_t>(key.folder) * 0x9E3779B97F4A7C15ull);
    }
};

// The positions 0..count-1 grouped by folder (folderOf gives a position's folder number), in
// their order within each folder. Names are held, given up and taken within a folder, so a run
// can look at one folder's names at a time instead of mapping every name of the tree at once.
template <typename FolderOf>
std::vector<std::int32_t> GroupedByFolder(size_t count, FolderOf folderOf)
{
    std::vector<std::int32_t> order(count);
    std::int32_t lowest = 0;
    std::int32_t highest = 0;
    for (size_t i = 0; i < count; ++i) {
        lowest = std::min(lowest, folderOf(static_cast<std::int32_t>(i)));
        highest = std::max(highest, folderOf(static_cast<std::int32_t>(i)));
    }
    // The walk numbers its folders from 0 on, so positions are counted into their folders' places,
    // with no comparisons: Find and Replace groups 100,000 entries at every keystroke.
    if (lowest == 0 && static_cast<size_t>(highest) <= 2 * count + 64) {
        std::vector<std::int32_t> starts(static_cast<size_t>(highest) + 2, 0);
        for (size_t i = 0; i < count; ++i)
            ++starts[static_cast<size_t>(folderOf(static_cast<std::int32_t>(i))) + 1];
        for (size_t f = 1; f < starts.size(); ++f)
            starts[f] += starts[f - 1];
        for (size_t i = 0; i < count; ++i)
            order[static_cast<size_t>(starts[static_cast<size_t>(folderOf(static_cast<std::int32_t>(i)))]++)] =
                static_cast<std::int32_t>(i);
        return order;
    }
    for (size_t i = 0; i < count; ++i)
        order[i] = static_cast<std::int32_t>(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::int32_t a, std::int32_t b) { return folderOf(a) < folderOf(b); });
    return order;
}

// Calls each(folder, first, last) for every folder of order (as GroupedByFolder gives it), with
// [first, last) the positions that lie in that folder.
template <typename FolderOf, typename Each>
void ForEachFolder(const std::vector<std::int32_t>& order, FolderOf folderOf, Each each)
{
    for (auto first = order.begin(), last = first; first != order.end(); first = last) {
        std::int32_t folder = folderOf(*first);
        for (last = first + 1; last != order.end() && folderOf(*last) == folder; ++last) {
        }
        each(folder, first, last);
    }
}

inline FolderName MakeFolderName(std::int32_t folder, std::wstring_view name)
{
    return FolderName{folder, name, FoldedNameHash(name)};
}
