// What becomes of an entry in a run, and why an entry keeps its name: the words the rules and the
// plan share.
#pragma once

#include <cstdint>

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
inline bool IsMissingValue(PlanReason reason)
{
    return reason >= PlanReason::NoDateTaken && reason <= PlanReason::NoGenre;
}
