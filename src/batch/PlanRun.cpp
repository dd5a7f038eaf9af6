// Works out what a run will do to each collected entry, before anything changes.
#include "PlanRun.h"

#include "AsciiCase.h"
#include "CaseOperations.h"
#include "NameRules.h"
#include "NumberFile.h"

#include <algorithm>
#include <unordered_map>

namespace {

// Who holds a name in a folder: a plan entry, or a name the run does not work on (-1).
// Two spellings of one name can stand side by side in a case-sensitive folder.
struct Holder {
    std::int32_t entry = -1;
    const std::wstring* spelling = nullptr;
    bool several = false;
};

using HolderMap = std::unordered_map<FolderName, Holder, FolderNameHash>;

void CannotChange(PlannedEntry& entry, PlanReason reason)
{
    entry.status = PlanStatus::CannotChange;
    entry.reason = reason;
}

// The entries and the held names of one folder, by their positions, in collection order.
struct FolderContents {
    std::vector<std::int32_t> entries;
    std::vector<std::int32_t> held;
};

// Registers the folder's held names, then its collected entries; a file collected a second time
// (an extension listed twice) is marked and keeps the number it uses up. ownHolders gets, per
// entry of the folder, the holder of the entry's own name (the map's nodes stay where they are).
HolderMap MapHolders(const CollectedTree& tree, std::vector<PlannedEntry>& entries, const FolderContents& folder,
                     std::vector<Holder*>& ownHolders)
{
    HolderMap holders;
    holders.reserve(folder.held.size() + folder.entries.size());
    ownHolders.assign(folder.entries.size(), nullptr);
    for (std::int32_t h : folder.held) {
        const HeldName& held = tree.held[static_cast<size_t>(h)];
        auto inserted = holders.emplace(MakeFolderName(held.folder, held.name), Holder{-1, &held.name, false});
        if (!inserted.second && *inserted.first->second.spelling != held.name)
            inserted.first->second.several = true;
    }
    for (size_t k = 0; k < folder.entries.size(); ++k) {
        size_t i = static_cast<size_t>(folder.entries[k]);
        PlannedEntry& entry = entries[i];
        std::wstring_view name = entry.Name();
        auto inserted =
            holders.emplace(MakeFolderName(entry.folder, name), Holder{static_cast<std::int32_t>(i), nullptr, false});
        ownHolders[k] = &inserted.first->second;
        if (inserted.second)
            continue;
        Holder& holder = inserted.first->second;
        bool sameSpelling = holder.entry >= 0 ? entries[static_cast<size_t>(holder.entry)].Name() == name
                                              : *holder.spelling == name;
        if (!sameSpelling)
            holder.several = true;
        else if (holder.entry >= 0)
            CannotChange(entry, PlanReason::CollectedTwice);
        else
            holder.entry = static_cast<std::int32_t>(i); // held in the first walk, collected in a later one
    }
    return holders;
}

bool MovesAway(const PlannedEntry& entry)
{
    return entry.status != PlanStatus::CannotChange && !EqualsFolded(entry.newName, entry.Name());
}

void NameEntries(std::vector<PlannedEntry>& entries, const RunOptions& options)
{
    for (size_t i = 0; i < entries.size(); ++i) {
        PlannedEntry& entry = entries[i];
        std::wstring_view name = entry.Name();
        if (options.mode == ModeNumber) {
            entry.number = options.startNumber + i;
            std::wstring baseName = NumberedBaseName(options.nameText, entry.number, options.numberWidth);
            NumberedTarget target = NumberedName(name, baseName);
            entry.newName = std::move(target.newName);
            entry.writeTag = options.fillTags && EqualsAsciiNoCase(target.extension, L"mp3");
        } else {
            entry.newName = CaseConvertedName(name, options.mode);
        }
        if (entry.status == PlanStatus::CannotChange || entry.newName == name)
            continue;
        if (IsReservedDeviceName(entry.newName))
            CannotChange(entry, PlanReason::NameReserved);
        else if (entry.newName.size() > kMaxNameLength)
            CannotChange(entry, PlanReason::NameTooLong);
    }
}

// A new name must be free, or be freed in this run by the entry holding it. dependsOn gets,
// per entry, the entry that must move away first.
void CheckNewNames(std::vector<PlannedEntry>& entries, const FolderContents& folder, HolderMap& holders,
                   const std::vector<Holder*>& ownHolders, std::vector<std::int32_t>& dependsOn)
{
    std::unordered_map<FolderName, std::int32_t, FolderNameHash> claimed;
    for (size_t k = 0; k < folder.entries.size(); ++k) {
        size_t i = static_cast<size_t>(folder.entries[k]);
        PlannedEntry& entry = entries[i];
        if (!entry.Renames())
            continue;
        // A new name that differs only in letter case folds to the entry's own.
        bool caseOnly = EqualsFolded(entry.newName, entry.Name());
        FolderName target;
        Holder* holder = nullptr;
        if (caseOnly) {
            holder = ownHolders[k];
        } else {
            target = MakeFolderName(entry.folder, entry.newName);
            auto found = holders.find(target);
            holder = found == holders.end() ? nullptr : &found->second;
        }
        if (holder && holder->entry == static_cast<std::int32_t>(i)) {
            // Only the letter case changes: no other spelling may stand beside it.
            if (holder->several)
                CannotChange(entry, PlanReason::NameHeld);
            continue;
        }
        if (caseOnly)
            target = MakeFolderName(entry.folder, entry.newName);
        if (!claimed.emplace(std::move(target), static_cast<std::int32_t>(i)).second) {
            CannotChange(entry, PlanReason::NameHeld);
            continue;
        }
        if (!holder)
            continue;
        std::int32_t other = holder->entry;
        if (holder->several || other < 0 || !MovesAway(entries[static_cast<size_t>(other)]))
            CannotChange(entry, PlanReason::NameHeld);
        else
            dependsOn[i] = other;
    }
}

// An entry whose new name is freed by one that cannot move cannot move either, and so on
// down the chain. Each name is claimed once, so each entry frees the way for one other.
void SpreadHeldNames(std::vector<PlannedEntry>& entries, const std::vector<std::int32_t>& dependsOn)
{
    std::vector<std::int32_t> waitingFor(entries.size(), -1);
    for (size_t i = 0; i < entries.size(); ++i) {
        if (dependsOn[i] >= 0 && entries[i].status != PlanStatus::CannotChange)
            waitingFor[static_cast<size_t>(dependsOn[i])] = static_cast<std::int32_t>(i);
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].status != PlanStatus::CannotChange)
            continue;
        for (std::int32_t next = waitingFor[i]; next >= 0 && entries[static_cast<size_t>(next)].status != PlanStatus::CannotChange;
             next = waitingFor[static_cast<size_t>(next)])
            CannotChange(entries[static_cast<size_t>(next)], PlanReason::NameHeld);
    }
}

// In the case modes every entry of a folder is collected and each new name is the entry's own
// in other letters, so a name is held only where a case-sensitive folder holds a second spelling
// of it. Found by sorting the entries by folder and folded name: no map of every name is made.
void RefuseSecondSpellings(std::vector<PlannedEntry>& entries)
{
    struct Key {
        std::int32_t folder;
        size_t hash;
        std::int32_t entry;
        bool operator<(const Key& other) const
        {
            return folder != other.folder ? folder < other.folder : hash < other.hash;
        }
    };
    std::vector<Key> keys;
    keys.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        keys.push_back(Key{entries[i].folder, FoldedNameHash(entries[i].Name()), static_cast<std::int32_t>(i)});
    std::sort(keys.begin(), keys.end());
    for (size_t first = 0, end = 0; first < keys.size(); first = end) {
        for (end = first + 1; end < keys.size() && !(keys[first] < keys[end]); ++end) {
        }
        for (size_t a = first; a < end; ++a) {
            PlannedEntry& entry = entries[static_cast<size_t>(keys[a].entry)];
            for (size_t b = first; b < end && entry.Renames(); ++b) {
                std::wstring_view other = entries[static_cast<size_t>(keys[b].entry)].Name();
                if (b != a && other != entry.Name() && EqualsFolded(other, entry.Name()))
                    CannotChange(entry, PlanReason::NameHeld);
            }
        }
    }
}

void SettleStatuses(std::vector<PlannedEntry>& entries, OperationMode mode)
{
    for (PlannedEntry& entry : entries) {
        if (entry.status == PlanStatus::CannotChange) {
            entry.writeTag = false;
            // Renamed under its first collection already: not a failure, nothing more to do.
            if (entry.reason == PlanReason::CollectedTwice) {
                entry.newName = std::wstring(entry.Name());
                entry.status = PlanStatus::AlreadyRight;
            }
            continue;
        }
        bool readable = entry.attributes != INVALID_FILE_ATTRIBUTES;
        entry.clearReadOnly = (mode == ModeNumber || mode == ModeReadOnly) && readable &&
                              (entry.attributes & FILE_ATTRIBUTE_READONLY);
        bool renames = entry.newName != entry.Name();
        entry.status = renames || entry.clearReadOnly || entry.writeTag ? PlanStatus::WillChange : PlanStatus::AlreadyRight;
    }
}

} // namespace

RunPlan PlanRun(CollectedTree tree, const RunOptions& options)
{
    RunPlan plan = std::move(tree.plan);
    plan.mode = options.mode;
    plan.fillTags = options.mode == ModeNumber && options.fillTags;
    std::vector<PlannedEntry>& entries = plan.entries;
    for (PlannedEntry& entry : entries)
        entry.status = PlanStatus::AlreadyRight;
    bool caseMode = options.mode == ModeLower || options.mode == ModeUpper || options.mode == ModeFavorites;
    if (caseMode && tree.held.empty()) {
        NameEntries(entries, options);
        RefuseSecondSpellings(entries);
    } else if (options.mode != ModeReadOnly) {
        NameEntries(entries, options);
        std::vector<std::int32_t> dependsOn(entries.size(), -1);
        // Each folder is checked with maps of its own names alone.
        auto entryFolder = [&](std::int32_t i) { return entries[static_cast<size_t>(i)].folder; };
        auto heldFolder = [&](std::int32_t h) { return tree.held[static_cast<size_t>(h)].folder; };
        std::vector<std::int32_t> heldByFolder = GroupedByFolder(tree.held.size(), heldFolder);
        size_t nextHeld = 0;
        FolderContents folder;
        std::vector<Holder*> ownHolders;
        std::vector<std::int32_t> byFolder = GroupedByFolder(entries.size(), entryFolder);
        ForEachFolder(byFolder, entryFolder, [&](std::int32_t number, auto first, auto last) {
            folder.entries.assign(first, last);
            folder.held.clear();
            for (; nextHeld < heldByFolder.size() && heldFolder(heldByFolder[nextHeld]) <= number; ++nextHeld) {
                if (heldFolder(heldByFolder[nextHeld]) == number)
                    folder.held.push_back(heldByFolder[nextHeld]);
            }
            HolderMap holders = MapHolders(tree, entries, folder, ownHolders);
            CheckNewNames(entries, folder, holders, ownHolders, dependsOn);
        });
        SpreadHeldNames(entries, dependsOn);
    } else {
        for (PlannedEntry& entry : entries)
            entry.newName = std::wstring(entry.Name());
    }
    SettleStatuses(entries, options.mode);
    return plan;
}
