// A run's plan as data: what the run will do to each collected entry, worked out by RunPlanner.h.
#pragma once

#include "NamePool.h"
#include "OperationMode.h"
#include "PlanReason.h"
#include "TreeNames.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Where an entry's name after the run comes from.
enum class NewName : std::uint8_t {
    Own,     // it keeps its name now (also when it cannot change)
    Lowered, // its name now with ASCII letters lower-case
    Uppered, // its name now with ASCII letters upper-case
    Given,   // a name of its own, kept in the plan's newNames
};

struct PlannedEntry {
    std::uint64_t size = 0;
    FILETIME lastWrite{};
    // Its name as the walk found it, in the plan's names; with folder it makes the path
    // ".\Sub\Name.txt" that the user sees and the index files keep, in the spelling the walk found
    // (a folder renamed earlier in the run still shows its old name).
    TreeNames::NameId name = 0;
    NamePool::NameId givenName = 0; // NewName::Given: the new name, in the plan's newNames
    // Plan index of the folder holding the entry when that folder is in the plan too (the case
    // modes); -1 when the entry's folder part of path does not change in the run.
    std::int32_t parent = -1;
    std::int32_t folder = 0;  // the walk's number of the folder holding the entry; 0 is the chosen folder
    DWORD volume = 0;         // serial number of the volume holding the entry; 0 when unknown
    DWORD attributes = 0;     // as the walk read them
    bool isFolder = false;
    bool clearReadOnly = false;
    bool writeTag = false; // an ID3v1 tag carrying the plan's TagText() is written before the move
    // The entry's own name after the run: its name now when nothing renames it, the refused
    // name when it cannot change.
    NewName newName = NewName::Own;
    PlanStatus status = PlanStatus::AlreadyRight;
    PlanReason reason = PlanReason::None;

    bool Renames() const { return status != PlanStatus::CannotChange && newName != NewName::Own; }
    // Its new name is its name now in other letters, spelt when asked for.
    bool Recased() const { return newName == NewName::Lowered || newName == NewName::Uppered; }
};

struct RunPlan {
    OperationMode mode = ModeLower;
    bool fillTags = false; // ModeNumber: MP3 files get a tag
    // ModeNumber: the number the first entry takes; each entry takes (or uses up) the next.
    std::uint64_t startNumber = 0;
    std::wstring root; // the chosen folder, in the \\?\ form
    // The walk's names and folders, shared by every plan made of the same walk; nothing is added
    // to them once the walk is done.
    std::shared_ptr<TreeNames> names;
    NamePool newNames; // the names entries are given (NewName::Given)
    std::vector<PlannedEntry> entries; // in collection order
    // The divisor of the progress percentage, counted as the collection counts it.
    std::int32_t progressTotal = 0;

    std::wstring_view Name(const PlannedEntry& entry) const { return names->Name(entry.name); }
    std::uint64_t NumberOf(size_t entry) const { return startNumber + entry; }
    // ".\Sub\Name.txt".
    std::wstring Path(const PlannedEntry& entry) const;
    // ".\Sub" of ".\Sub\Name.txt", "." for an entry of the chosen folder.
    std::wstring FolderPath(const PlannedEntry& entry) const;
    std::wstring NewNameOf(const PlannedEntry& entry) const;
    // The same without a string of its own where it can: a name the plan keeps is seen where it is
    // kept, a lowered or uppered one is spelt into spelling (and is seen until spelling changes).
    std::wstring_view NewNameIn(const PlannedEntry& entry, std::wstring& spelling) const;
    size_t NewNameLength(const PlannedEntry& entry) const
    {
        return entry.newName == NewName::Given ? newNames.Get(entry.givenName).size() : Name(entry).size();
    }
    // The title a tag carries: the new base name, which is the new name without its extension
    // (tags are written to .mp3 files alone).
    std::wstring TagText(const PlannedEntry& entry) const;
    // The entry's name after the run becomes newName: its own (NewName::Own) when it is that already.
    void SetNewName(PlannedEntry& entry, std::wstring_view newName);
    void KeepOwnName(PlannedEntry& entry) { entry.newName = NewName::Own; }
};

struct PlanSummary {
    size_t entries = 0;
    size_t toRename = 0;
    size_t alreadyRight = 0;
    size_t readOnlyToClear = 0;
    size_t tagsToWrite = 0;
    size_t cannotChange = 0;
};
PlanSummary SummarizePlan(const RunPlan& plan);

// The refused name with the reason: "COM1.jpg: reserved for a device".
std::wstring RefusalText(const RunPlan& plan, const PlannedEntry& entry);
// "Renamed", "Cannot change (COM1.jpg: reserved for a device)", ...: what happens to the entry, in words.
std::wstring DescribePlannedEntry(const RunPlan& plan, const PlannedEntry& entry);
