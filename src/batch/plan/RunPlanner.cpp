// The planner of a run: gives each collected entry its new name, its status and what else happens to
// it (the RunPlan of RunPlan.h), before anything changes.
#include "RunPlanner.h"

#include "AsciiCase.h"
#include "CaseOperations.h"
#include "NameRules.h"
#include "NumberFile.h"
#include "ReplaceRule.h"
#include "ReplaceValues.h"

#include <algorithm>
#include <cstddef>
#include <memory_resource>
#include <optional>
#include <unordered_map>

namespace {

// Who holds a name in a folder: a plan entry, or a name the run does not work on (-1).
// Two spellings of one name can stand side by side in a case-sensitive folder.
struct Holder {
    std::int32_t entry = -1;
    const std::wstring* spelling = nullptr;
    bool several = false;
};

// The maps of one folder live in an arena given back as a whole when the folder is done: a plan
// of 100,000 entries would otherwise make and free a node for each name, twice.
using HolderMap = std::pmr::unordered_map<FolderName, Holder, FolderNameHash>;
using ClaimMap = std::pmr::unordered_map<FolderName, std::int32_t, FolderNameHash>;
// Enough for the maps of a folder of a few hundred entries; a bigger one takes more from the heap.
constexpr size_t kFolderArenaBytes = 64 * 1024;

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
HolderMap MapHolders(const std::vector<HeldName>& heldNames, RunPlan& plan, const FolderContents& folder,
                     std::vector<Holder*>& ownHolders, std::pmr::memory_resource* arena)
{
    std::vector<PlannedEntry>& entries = plan.entries;
    HolderMap holders(arena);
    holders.reserve(folder.held.size() + folder.entries.size());
    ownHolders.assign(folder.entries.size(), nullptr);
    for (std::int32_t h : folder.held) {
        const HeldName& held = heldNames[static_cast<size_t>(h)];
        auto inserted = holders.emplace(MakeFolderName(held.folder, held.name), Holder{-1, &held.name, false});
        if (!inserted.second && *inserted.first->second.spelling != held.name)
            inserted.first->second.several = true;
    }
    for (size_t k = 0; k < folder.entries.size(); ++k) {
        size_t i = static_cast<size_t>(folder.entries[k]);
        PlannedEntry& entry = entries[i];
        std::wstring_view name = plan.Name(entry);
        auto inserted =
            holders.emplace(MakeFolderName(entry.folder, name), Holder{static_cast<std::int32_t>(i), nullptr, false});
        ownHolders[k] = &inserted.first->second;
        if (inserted.second)
            continue;
        Holder& holder = inserted.first->second;
        bool sameSpelling = holder.entry >= 0 ? plan.Name(entries[static_cast<size_t>(holder.entry)]) == name
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

bool MovesAway(const RunPlan& plan, const PlannedEntry& entry)
{
    std::wstring spelling;
    return entry.status != PlanStatus::CannotChange && !EqualsFolded(plan.NewNameIn(entry, spelling), plan.Name(entry));
}

// How often a plan asks whether it is still wanted, in entries.
constexpr size_t kCancelCheckInterval = 256;

bool Cancelled(const PlanCancelled& cancelled)
{
    return cancelled && cancelled();
}

// Why a new name cannot be given, or None. Find and Replace makes its names from typed text: it
// also refuses what Windows would not make, or would make into a name ordinary programs miss.
PlanReason RefusedNewName(std::wstring_view name, bool fromText)
{
    if (fromText && IsBlankName(name))
        return PlanReason::NameBlank;
    if (fromText && HasForbiddenCharacter(name))
        return PlanReason::NameBadCharacter;
    if (fromText && EndsInDotOrBlank(name))
        return PlanReason::NameEndsBadly;
    if (IsReservedDeviceName(name))
        return PlanReason::NameReserved;
    if (name.size() > kMaxNameLength)
        return PlanReason::NameTooLong;
    return PlanReason::None;
}

// The length of ".\Sub" in ".\Sub\Name.txt" once the leading dot stands for the root: "\Sub".
size_t FolderPartLength(const RunPlan& plan, const PlannedEntry& entry)
{
    return plan.FolderPath(entry).size() - 1;
}

// The new name of a Find and Replace whose replacement holds tokens: an entry lacking a value
// keeps its name.
struct TokenNaming {
    TokenNaming(const RunOptions& given, std::wstring_view chosen) : options(given), root(chosen)
    {
        // The modified date is worked out only where a token shows it.
        for (const ReplacementPiece& piece : options.replace->Tokens()->pieces) {
            modified = modified || piece.kind == TokenKind::Modified ||
                       (piece.kind == TokenKind::Taken && options.replace->ModifiedForTaken());
        }
    }

    const RunOptions& options;
    std::wstring_view root;
    DateNames names = UserDateNames();
    bool modified = false;
    LocalClock clock;
    EntryValues values;
    std::wstring replacement;
    // Per entry, its number of the counter; empty when the replacement has no counter.
    std::vector<std::uint32_t> positions;

    // The entry's values into values; false when the replacement does not apply to its name.
    bool Gather(const RunPlan& plan, const PlannedEntry& entry, size_t i)
    {
        if (!ReplacementApplies(plan.Name(entry), entry.isFolder, *options.replace))
            return false;
        values.Reset();
        FillNameValues(plan, entry, i, root, values, modified ? &clock : nullptr);
        if (options.entryValues && *options.entryValues)
            (*options.entryValues)(i, values);
        return true;
    }

    // Numbers the entries that take a new name from the replacement, in the counter's order (or
    // the plan's): an entry the search passes over or that lacks a value takes none, so that the
    // numbers of the names given run on without a gap. False when the planning was cancelled.
    bool Number(const RunPlan& plan, const PlanCancelled& cancelled)
    {
        const std::vector<PlannedEntry>& entries = plan.entries;
        std::vector<bool> counts(entries.size(), false);
        for (size_t i = 0; i < entries.size(); ++i) {
            if (i % kCancelCheckInterval == 0 && Cancelled(cancelled))
                return false;
            if (Gather(plan, entries[i], i)) {
                PlanReason lacking = LackingValue(*options.replace, values);
                counts[i] = lacking == PlanReason::None || lacking == PlanReason::TakenFromModified;
            }
        }
        const std::vector<std::uint32_t>* order = options.counterOrder;
        if (order && order->size() != entries.size())
            order = nullptr;
        positions.assign(entries.size(), 0);
        std::vector<std::uint32_t> perFolder;
        std::uint32_t next = 0;
        for (size_t k = 0; k < entries.size(); ++k) {
            size_t i = order ? (*order)[k] : k;
            if (!counts[i])
                continue;
            if (!options.counterPerFolder) {
                positions[i] = next++;
                continue;
            }
            size_t folder = static_cast<size_t>(std::max(entries[i].folder, 0));
            if (folder >= perFolder.size())
                perFolder.resize(folder + 1, 0);
            positions[i] = perFolder[folder]++;
        }
        return true;
    }

    // The entry's new name into newName.
    void Name(const RunPlan& plan, PlannedEntry& entry, size_t i, std::wstring& newName)
    {
        std::wstring_view name = plan.Name(entry);
        // A name the search does not match lacks no value: only the formatting applies to it.
        if (!Gather(plan, entry, i)) {
            replacement.clear();
            ReplaceName(name, entry.isFolder, *options.replace, newName, &replacement);
            return;
        }
        if (!positions.empty())
            values.position = positions[i];
        PlanReason reason = PlanReason::None;
        if (!EntryReplacement(*options.replace, values, names, replacement, reason)) {
            newName.assign(name);
            CannotChange(entry, reason);
            return;
        }
        ReplaceName(name, entry.isFolder, *options.replace, newName, &replacement);
        entry.reason = reason;
    }
};

// False when the planning was cancelled.
bool NameEntriesWatched(RunPlan& plan, const RunOptions& options, size_t rootLength, const PlanCancelled& cancelled)
{
    std::vector<PlannedEntry>& entries = plan.entries;
    // Find and Replace works each new name out in this one string before it is kept.
    std::wstring newName;
    bool fromText = options.mode == ModeFindReplace;
    std::optional<TokenNaming> tokens;
    if (fromText && options.replace->Tokens()) {
        tokens.emplace(options, plan.root);
        if (options.replace->Tokens()->needs.counter && !tokens->Number(plan, cancelled))
            return false;
    }
    // The longest each entry's path can be, whether or not its folders above are renamed: folders
    // come before their contents, so each folder's is known before its contents need it.
    std::vector<size_t> longestPath(fromText ? entries.size() : 0);
    for (size_t i = 0; i < entries.size(); ++i) {
        if (i % kCancelCheckInterval == 0 && Cancelled(cancelled))
            return false;
        PlannedEntry& entry = entries[i];
        std::wstring_view name = plan.Name(entry);
        if (options.mode == ModeNumber) {
            std::wstring baseName = NumberedBaseName(options.nameText, plan.NumberOf(i), options.numberWidth);
            NumberedTarget target = NumberedName(name, baseName);
            newName = std::move(target.newName);
            entry.writeTag = options.fillTags && EqualsAsciiNoCase(target.extension, L"mp3");
        } else if (tokens) {
            tokens->Name(plan, entry, i, newName);
        } else if (fromText) {
            ReplaceName(name, entry.isFolder, *options.replace, newName);
        } else {
            newName = CaseConvertedName(name, options.mode);
        }
        plan.SetNewName(entry, newName);
        size_t folderLength = 0;
        if (fromText) {
            folderLength = entry.parent >= 0 ? longestPath[static_cast<size_t>(entry.parent)]
                                             : rootLength + FolderPartLength(plan, entry);
            longestPath[i] = folderLength + 1 + std::max(name.size(), newName.size());
        }
        if (entry.status == PlanStatus::CannotChange || newName == name)
            continue;
        PlanReason refused = RefusedNewName(newName, fromText);
        if (refused == PlanReason::None && fromText && folderLength + 1 + newName.size() > kMaxPathLength)
            refused = PlanReason::PathTooLong;
        if (refused != PlanReason::None)
            CannotChange(entry, refused);
    }
    return true;
}

bool NameEntries(RunPlan& plan, const RunOptions& options, size_t rootLength, const PlanCancelled& cancelled)
{
    // An expression can take long over a single name: its matching answers to the cancellation too.
    MatchWatch watch(cancelled);
    try {
        return NameEntriesWatched(plan, options, rootLength, cancelled);
    } catch (const MatchCancelled&) {
        return false;
    }
}

// A new name must be free, or be freed in this run by the entry holding it. dependsOn gets,
// per entry, the entry that must move away first. Where two entries claim one name, the first
// keeps it, or with refuseBoth neither does.
void CheckNewNames(RunPlan& plan, const FolderContents& folder, HolderMap& holders,
                   const std::vector<Holder*>& ownHolders, std::vector<std::int32_t>& dependsOn, bool refuseBoth)
{
    std::vector<PlannedEntry>& entries = plan.entries;
    // The claims keep the names they are made for: a name spelt for the check is kept until the
    // folder is done.
    NamePool spelt;
    std::wstring spelling;
    ClaimMap claimed(holders.get_allocator().resource());
    claimed.reserve(folder.entries.size());
    // False, with the entry refused, when another entry claimed the name first.
    auto claim = [&](const FolderName& target, size_t i) {
        auto first = claimed.emplace(target, static_cast<std::int32_t>(i));
        if (first.second)
            return true;
        if (!refuseBoth) {
            CannotChange(entries[i], PlanReason::NameHeld);
            return false;
        }
        PlannedEntry& other = entries[static_cast<size_t>(first.first->second)];
        if (other.status != PlanStatus::CannotChange)
            CannotChange(other, PlanReason::NameClaimedTwice);
        CannotChange(entries[i], PlanReason::NameClaimedTwice);
        return false;
    };
    for (size_t k = 0; k < folder.entries.size(); ++k) {
        size_t i = static_cast<size_t>(folder.entries[k]);
        PlannedEntry& entry = entries[i];
        if (!entry.Renames())
            continue;
        // A new name that differs only in letter case folds to the entry's own.
        std::wstring_view newName = plan.NewNameIn(entry, spelling);
        if (entry.Recased())
            newName = spelt.Get(spelt.Add(newName));
        bool caseOnly = EqualsFolded(newName, plan.Name(entry));
        FolderName target = MakeFolderName(entry.folder, newName);
        Holder* holder = nullptr;
        if (caseOnly) {
            holder = ownHolders[k];
        } else {
            auto found = holders.find(target);
            holder = found == holders.end() ? nullptr : &found->second;
        }
        if (holder && holder->entry == static_cast<std::int32_t>(i)) {
            // Only the letter case changes: no other spelling may stand beside it, and where both
            // claimants are refused, no other entry may be given it either.
            if (holder->several)
                CannotChange(entry, PlanReason::NameHeld);
            else if (refuseBoth)
                claim(target, i);
            continue;
        }
        if (!claim(target, i))
            continue;
        if (!holder)
            continue;
        std::int32_t other = holder->entry;
        if (holder->several || other < 0 || !MovesAway(plan, entries[static_cast<size_t>(other)]))
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
void RefuseSecondSpellings(RunPlan& plan)
{
    std::vector<PlannedEntry>& entries = plan.entries;
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
        keys.push_back(Key{entries[i].folder, FoldedNameHash(plan.Name(entries[i])), static_cast<std::int32_t>(i)});
    std::sort(keys.begin(), keys.end());
    for (size_t first = 0, end = 0; first < keys.size(); first = end) {
        for (end = first + 1; end < keys.size() && !(keys[first] < keys[end]); ++end) {
        }
        for (size_t a = first; a < end; ++a) {
            PlannedEntry& entry = entries[static_cast<size_t>(keys[a].entry)];
            for (size_t b = first; b < end && entry.Renames(); ++b) {
                std::wstring_view other = plan.Name(entries[static_cast<size_t>(keys[b].entry)]);
                if (b != a && other != plan.Name(entry) && EqualsFolded(other, plan.Name(entry)))
                    CannotChange(entry, PlanReason::NameHeld);
            }
        }
    }
}

void SettleStatuses(RunPlan& plan, OperationMode mode)
{
    std::vector<PlannedEntry>& entries = plan.entries;
    for (PlannedEntry& entry : entries) {
        if (entry.status == PlanStatus::CannotChange) {
            entry.writeTag = false;
            // Renamed under its first collection already: not a failure, nothing more to do.
            if (entry.reason == PlanReason::CollectedTwice) {
                plan.KeepOwnName(entry);
                entry.status = PlanStatus::AlreadyRight;
            }
            continue;
        }
        bool readable = entry.attributes != INVALID_FILE_ATTRIBUTES;
        entry.clearReadOnly = (mode == ModeNumber || mode == ModeReadOnly) && readable &&
                              (entry.attributes & FILE_ATTRIBUTE_READONLY);
        bool renames = entry.newName != NewName::Own;
        entry.status = renames || entry.clearReadOnly || entry.writeTag ? PlanStatus::WillChange : PlanStatus::AlreadyRight;
    }
}

} // namespace

RunPlan PlanRun(CollectedTree tree, const RunOptions& options, const PlanCancelled& cancelled)
{
    return PlanRun(std::move(tree.plan), tree.held, options, cancelled);
}

RunPlan PlanRun(RunPlan plan, const std::vector<HeldName>& held, const RunOptions& options, const PlanCancelled& cancelled)
{
    plan.mode = options.mode;
    plan.fillTags = options.mode == ModeNumber && options.fillTags;
    plan.startNumber = options.startNumber;
    std::vector<PlannedEntry>& entries = plan.entries;
    // A plan worked out again keeps the room of the names it gave before.
    plan.newNames.Clear();
    for (PlannedEntry& entry : entries) {
        entry.status = PlanStatus::AlreadyRight;
        entry.reason = PlanReason::None;
        plan.KeepOwnName(entry);
    }
    bool caseMode = options.mode == ModeLower || options.mode == ModeUpper || options.mode == ModeFavorites;
    bool keepsNames = options.mode == ModeReadOnly ||
                      (options.mode == ModeFindReplace && (!options.replace || options.replace->ChangesNothing()));
    if (caseMode && held.empty()) {
        NameEntries(plan, options, plan.root.size(), cancelled);
        RefuseSecondSpellings(plan);
    } else if (!keepsNames) {
        if (!NameEntries(plan, options, plan.root.size(), cancelled))
            return plan;
        std::vector<std::int32_t> dependsOn(entries.size(), -1);
        // Each folder is checked with maps of its own names alone.
        auto entryFolder = [&](std::int32_t i) { return entries[static_cast<size_t>(i)].folder; };
        auto heldFolder = [&](std::int32_t h) { return held[static_cast<size_t>(h)].folder; };
        std::vector<std::int32_t> heldByFolder = GroupedByFolder(held.size(), heldFolder);
        size_t nextHeld = 0;
        FolderContents folder;
        std::vector<Holder*> ownHolders;
        std::vector<std::int32_t> byFolder = GroupedByFolder(entries.size(), entryFolder);
        bool stopped = false;
        std::vector<std::byte> arenaBuffer(kFolderArenaBytes);
        ForEachFolder(byFolder, entryFolder, [&](std::int32_t number, auto first, auto last) {
            if (stopped || (stopped = Cancelled(cancelled)))
                return;
            folder.entries.assign(first, last);
            folder.held.clear();
            for (; nextHeld < heldByFolder.size() && heldFolder(heldByFolder[nextHeld]) <= number; ++nextHeld) {
                if (heldFolder(heldByFolder[nextHeld]) == number)
                    folder.held.push_back(heldByFolder[nextHeld]);
            }
            // Where no entry is renamed no name can be in the way; numbering also marks files
            // collected twice there.
            if (options.mode != ModeNumber && std::none_of(first, last, [&](std::int32_t i) {
                    return entries[static_cast<size_t>(i)].Renames();
                }))
                return;
            std::pmr::monotonic_buffer_resource arena(arenaBuffer.data(), arenaBuffer.size());
            HolderMap holders = MapHolders(held, plan, folder, ownHolders, &arena);
            CheckNewNames(plan, folder, holders, ownHolders, dependsOn, options.mode == ModeFindReplace);
        });
        if (stopped)
            return plan;
        SpreadHeldNames(entries, dependsOn);
    }
    SettleStatuses(plan, options.mode);
    return plan;
}
