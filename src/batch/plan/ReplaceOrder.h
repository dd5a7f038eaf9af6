// The order Find and Replace lists its entries in and counts them in ({n}): by name as Explorer
// orders names, by a date, by size or in album order. Beside the plan, which keeps collection
// order (folders before their contents) for Rename.
#pragma once

#include "RunPlan.h"
#include "TreeDetails.h"

#include <cstdint>
#include <vector>

// In the order of the dialog's "Order:" list.
enum class ReplaceOrder : std::uint8_t {
    Name = 0, // the tree folder by folder, each folder's names as Explorer orders them ("IMG 2" before "IMG 10")
    DateTaken = 1,
    DateModified = 2,
    DateCreated = 3,
    Size = 4,
    AlbumOrder = 5, // album, then disc, then track
};
constexpr unsigned kReplaceOrderCount = 6;

struct ReplaceOrdering {
    ReplaceOrder by = ReplaceOrder::Name;
    bool descending = false;
    bool restartPerFolder = false; // the counter starts again in each folder

    bool operator==(const ReplaceOrdering& other) const
    {
        return by == other.by && descending == other.descending && restartPerFolder == other.restartPerFolder;
    }
};

// The DetailKinds an order compares.
unsigned DetailKindsOf(ReplaceOrder order);

// Per entry of tree, its place in the Name order over the whole tree: a folder right before its
// contents, the names of a folder as StrCmpLogicalW orders them (ties in ordinal order).
std::vector<std::uint32_t> NameRanks(const RunPlan& tree);

// Any plan's indexes in Name order, as Preview lists them: NameRanks where every entry's folder is
// in the plan (the case modes), else by their paths compared component by component as Explorer
// orders names.
std::vector<std::uint32_t> NameOrder(const RunPlan& plan);

// The plan's indexes in the order asked for, over the whole plan; entries without the value
// compared come last; ties in Name order. source gives each plan entry's index in the tree that
// nameRanks and details were made for. modifiedForTaken: a photo without a date taken is placed
// by its modified date, as its name then shows it.
std::vector<std::uint32_t> OrderedEntries(const RunPlan& plan, const std::vector<std::int32_t>& source,
                                          const std::vector<std::uint32_t>& nameRanks, const TreeDetails& details,
                                          const ReplaceOrdering& ordering, bool modifiedForTaken = false);

