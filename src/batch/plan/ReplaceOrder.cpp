// The order Find and Replace lists and counts its entries in.
#include "ReplaceOrder.h"

#include "FileTimeTicks.h"
#include "PathParts.h"
#include "ReplaceValues.h"

#include <windows.h>

#include <shlwapi.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <unordered_map>

unsigned DetailKindsOf(ReplaceOrder order)
{
    switch (order) {
    case ReplaceOrder::DateTaken:
        return kPhotoKind;
    case ReplaceOrder::DateCreated:
        return kCreatedKind;
    case ReplaceOrder::AlbumOrder:
        return kMusicKind;
    case ReplaceOrder::Name:
    case ReplaceOrder::DateModified:
    case ReplaceOrder::Size:
        break;
    }
    return 0;
}

std::vector<std::uint32_t> NameRanks(const RunPlan& tree)
{
    const std::vector<PlannedEntry>& entries = tree.entries;
    auto parentOf = [&](std::uint32_t i) {
        std::int32_t parent = entries[i].parent;
        return parent >= 0 && static_cast<size_t>(parent) < entries.size() ? parent : -1;
    };
    // Each folder's entries together, in collection order; the chosen folder's own first.
    std::vector<std::uint32_t> byParent(entries.size());
    std::iota(byParent.begin(), byParent.end(), 0u);
    std::stable_sort(byParent.begin(), byParent.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return parentOf(a) < parentOf(b); });
    // Each folder's names in Explorer's order; the names copied once, as the comparison wants them whole.
    std::vector<std::wstring> names;
    for (size_t first = 0, end = 0; first < byParent.size(); first = end) {
        std::int32_t parent = parentOf(byParent[first]);
        for (end = first; end < byParent.size() && parentOf(byParent[end]) == parent; ++end) {
        }
        names.clear();
        for (size_t k = first; k < end; ++k)
            names.emplace_back(tree.Name(entries[byParent[k]]));
        std::vector<std::uint32_t> sorted(end - first);
        std::iota(sorted.begin(), sorted.end(), 0u);
        std::sort(sorted.begin(), sorted.end(), [&](std::uint32_t a, std::uint32_t b) {
            int logical = StrCmpLogicalW(names[a].c_str(), names[b].c_str());
            return logical != 0 ? logical < 0 : names[a] < names[b];
        });
        std::vector<std::uint32_t> group(byParent.begin() + static_cast<std::ptrdiff_t>(first),
                                         byParent.begin() + static_cast<std::ptrdiff_t>(end));
        for (size_t k = 0; k < sorted.size(); ++k)
            byParent[first + k] = group[sorted[k]];
    }
    // Where each folder's group starts, then a walk of the groups, a folder's contents right after it.
    std::vector<std::int32_t> groupStart(entries.size() + 1, -1);
    std::vector<std::int32_t> groupEnd(entries.size() + 1, -1);
    for (size_t k = 0; k < byParent.size(); ++k) {
        size_t slot = static_cast<size_t>(parentOf(byParent[k]) + 1);
        if (groupStart[slot] < 0)
            groupStart[slot] = static_cast<std::int32_t>(k);
        groupEnd[slot] = static_cast<std::int32_t>(k) + 1;
    }
    std::vector<std::uint32_t> ranks(entries.size(), 0);
    std::uint32_t next = 0;
    struct Level {
        std::int32_t at, end;
    };
    std::vector<Level> stack;
    if (groupStart[0] >= 0)
        stack.push_back(Level{groupStart[0], groupEnd[0]});
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.at == level.end) {
            stack.pop_back();
            continue;
        }
        std::uint32_t entry = byParent[static_cast<size_t>(level.at++)];
        ranks[entry] = next++;
        size_t slot = static_cast<size_t>(entry) + 1;
        if (groupStart[slot] >= 0)
            stack.push_back(Level{groupStart[slot], groupEnd[slot]});
    }
    return ranks;
}

namespace {

// Two paths component by component, each as StrCmpLogicalW orders names; a folder before its contents.
bool LogicalPathLess(std::wstring_view a, std::wstring_view b)
{
    // Kept from call to call: a sort compares a path a few million times.
    thread_local std::wstring left;
    thread_local std::wstring right;
    for (;;) {
        size_t endA = std::min(a.find(L'\\'), a.size());
        size_t endB = std::min(b.find(L'\\'), b.size());
        left.assign(a.substr(0, endA));
        right.assign(b.substr(0, endB));
        int logical = StrCmpLogicalW(left.c_str(), right.c_str());
        if (logical != 0)
            return logical < 0;
        if (left != right)
            return left < right;
        if (endA == a.size() || endB == b.size())
            return endA == a.size() && endB != b.size();
        a.remove_prefix(endA + 1);
        b.remove_prefix(endB + 1);
    }
}

// Each album's place among the albums of the entries, as Explorer orders names; none for an
// album of blanks alone, which is no album, as the tokens take it. Each album is ranked once, by
// its number, not once for each of its songs.
std::unordered_map<DetailTexts::TextId, std::uint64_t> AlbumRanks(const TreeDetails& details,
                                                                    const std::vector<std::int32_t>& source)
{
    std::unordered_map<DetailTexts::TextId, std::uint64_t> ranks;
    std::vector<std::pair<std::wstring, DetailTexts::TextId>> albums;
    for (std::int32_t t : source) {
        DetailTexts::TextId id = details.AlbumId(static_cast<size_t>(t));
        if (id == DetailTexts::kEmpty || !ranks.emplace(id, 0).second)
            continue;
        std::wstring album = details.Text(id);
        if (IsBlankValue(album))
            ranks.erase(id);
        else
            albums.emplace_back(std::move(album), id);
    }
    auto logical = [](const std::wstring& a, const std::wstring& b) { return StrCmpLogicalW(a.c_str(), b.c_str()); };
    std::stable_sort(albums.begin(), albums.end(), [&](const auto& a, const auto& b) {
        int order = logical(a.first, b.first);
        return order != 0 ? order < 0 : a.first < b.first;
    });
    // Names Explorer takes for one (letters of another case) share a place.
    for (size_t k = 0; k < albums.size(); ++k)
        ranks[albums[k].second] = k > 0 && logical(albums[k - 1].first, albums[k].first) == 0 ? ranks[albums[k - 1].second] : k;
    return ranks;
}

} // namespace

std::vector<std::uint32_t> NameOrder(const RunPlan& plan)
{
    const std::vector<PlannedEntry>& entries = plan.entries;
    std::vector<std::uint32_t> order(entries.size());
    std::iota(order.begin(), order.end(), 0u);
    bool linked = std::all_of(entries.begin(), entries.end(),
                              [](const PlannedEntry& e) { return e.parent >= 0 || e.folder == 0; });
    if (linked) {
        std::vector<std::uint32_t> ranks = NameRanks(plan);
        std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return ranks[a] < ranks[b]; });
        return order;
    }
    // Numbering plans hold files alone, in many folders: their whole paths compared.
    std::vector<std::wstring> paths(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        paths[i] = plan.Path(entries[i]);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return LogicalPathLess(paths[a], paths[b]); });
    return order;
}

std::vector<std::uint32_t> OrderedEntries(const RunPlan& plan, const std::vector<std::int32_t>& source,
                                          const std::vector<std::uint32_t>& nameRanks, const TreeDetails& details,
                                          const ReplaceOrdering& ordering, bool modifiedForTaken)
{
    struct Key {
        bool lacking;
        std::uint64_t first;
        std::uint64_t second;
        std::uint32_t name;
        std::uint32_t entry;
    };
    std::unordered_map<DetailTexts::TextId, std::uint64_t> albums;
    if (ordering.by == ReplaceOrder::AlbumOrder)
        albums = AlbumRanks(details, source);
    std::vector<Key> keys(plan.entries.size());
    LocalClock clock;
    for (size_t i = 0; i < plan.entries.size(); ++i) {
        const PlannedEntry& entry = plan.entries[i];
        size_t t = static_cast<size_t>(source[i]);
        Key key{false, 0, 0, nameRanks[t], static_cast<std::uint32_t>(i)};
        switch (ordering.by) {
        case ReplaceOrder::Name:
            break;
        case ReplaceOrder::DateTaken:
            key.first = details.TakenKey(t, clock);
            if (key.first == 0 && modifiedForTaken && details.IsPhoto(t))
                key.first = ShownTicks(clock.Local(entry.lastWrite));
            key.lacking = key.first == 0;
            break;
        case ReplaceOrder::DateModified:
            key.first = Ticks(entry.lastWrite);
            break;
        case ReplaceOrder::DateCreated:
            key.first = details.CreatedKey(t);
            key.lacking = key.first == 0;
            break;
        case ReplaceOrder::Size:
            // A folder has no size of its own: it goes with the entries that lack the value.
            key.first = entry.size;
            key.lacking = entry.isFolder;
            break;
        case ReplaceOrder::AlbumOrder: {
            auto album = albums.find(details.AlbumId(t));
            key.lacking = album == albums.end();
            if (!key.lacking)
                key.first = album->second;
            key.second = (static_cast<std::uint64_t>(details.Disc(t)) << 32) | details.Track(t);
            break;
        }
        }
        keys[i] = key;
    }
    bool descending = ordering.descending;
    bool byName = ordering.by == ReplaceOrder::Name;
    std::sort(keys.begin(), keys.end(), [descending, byName](const Key& a, const Key& b) {
        if (a.lacking != b.lacking)
            return b.lacking;
        if (a.first != b.first)
            return descending ? a.first > b.first : a.first < b.first;
        if (a.second != b.second)
            return descending ? a.second > b.second : a.second < b.second;
        return byName && descending ? a.name > b.name : a.name < b.name;
    });
    std::vector<std::uint32_t> order(keys.size());
    for (size_t k = 0; k < keys.size(); ++k)
        order[k] = keys[k].entry;
    return order;
}
