// What one run will do to each collected entry, worked out before anything changes.
#pragma once

#include "OperationMode.h"
#include "PathParts.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class PlanStatus : std::uint8_t {
    WillChange,   // gets a new name, or loses its read-only mark, or gets a tag
    AlreadyRight, // nothing to do
    CannotChange, // keeps its name and its bytes, and is reported
};

enum class PlanReason : std::uint8_t {
    None,
    NameHeld,       // the new name belongs to an entry that keeps it in this run
    NameReserved,   // the new name is one Windows keeps for a device (CON, NUL, COM1, ...)
    NameTooLong,    // the new name is longer than a name may be
    CollectedTwice, // a file listed under two extensions; the first time renamed it
    // Find and Replace, whose new names come from what the user types:
    NameBlank,         // empty, or only dots and blanks
    NameBadCharacter,  // holds \ / : * ? " < > | or a control character
    NameEndsBadly,     // ends in a dot or a blank, which Windows would strip
    PathTooLong,       // would make the entry's path longer than the volume takes
    NameClaimedTwice,  // another entry of the folder would get the same name
    // The entry's file lacks a value its replacement's tokens need: it keeps its name.
    NoDateTaken,
    NoModifiedDate,
    NoCreatedDate,
    NoCameraMake,
    NoCameraModel,
    NoPictureSize,
    NoArtist,
    NoAlbum,
    NoTitle,
    NoTrackNumber,
    NoDiscNumber,
    NoYear,
    NoGenre,
    // Not a refusal: the entry is renamed with its modified date for the date taken it lacks.
    TakenFromModified,
};

// True for the reasons of a value the entry's file lacks.
bool IsMissingValue(PlanReason reason);

struct PlannedEntry {
    // ".\Sub\Name.txt": the form shown to the user and kept in the index files, in the
    // spelling the walk found (a folder renamed earlier in the run still shows its old name).
    std::wstring path;
    // The entry's own name after the run: its name now when nothing renames it, the refused
    // name when it cannot change.
    std::wstring newName;
    // Plan index of the folder holding the entry when that folder is in the plan too (the case
    // modes); -1 when the entry's folder part of path does not change in the run.
    std::int32_t parent = -1;
    std::int32_t folder = 0;  // the walk's number of the folder holding the entry; 0 is the chosen folder
    DWORD volume = 0;         // serial number of the volume holding the entry; 0 when unknown
    DWORD attributes = 0;     // as the walk read them
    std::uint64_t size = 0;
    FILETIME lastWrite{};
    bool isFolder = false;
    bool clearReadOnly = false;
    bool writeTag = false;      // an ID3v1 tag carrying TagText() is written before the move
    std::uint64_t number = 0;   // ModeNumber: the number the file takes (or uses up)
    PlanStatus status = PlanStatus::AlreadyRight;
    PlanReason reason = PlanReason::None;

    std::wstring_view Name() const { return LastComponent(path); }
    // The title a tag carries: the new base name, which is the new name without its extension
    // (tags are written to .mp3 files alone).
    std::wstring TagText() const { return newName.substr(0, newName.find_last_of(L'.')); }
    bool Renames() const { return status != PlanStatus::CannotChange && newName != Name(); }
};

struct RunPlan {
    OperationMode mode = ModeLower;
    bool fillTags = false; // ModeNumber: MP3 files get a tag
    std::wstring root; // the chosen folder, in the \\?\ form
    std::vector<PlannedEntry> entries; // in collection order
    // The divisor of the progress percentage, counted as the collection counts it.
    std::int32_t progressTotal = 0;
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
std::wstring RefusalText(const PlannedEntry& entry);
// "Renamed", "Cannot change (COM1.jpg: reserved for a device)", ...: what happens to the entry, in words.
std::wstring DescribePlannedEntry(const PlannedEntry& entry);
