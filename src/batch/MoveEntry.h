// Renames one entry, coping with file systems that ignore case-only renames.
#pragma once

#include <string>

enum class MoveOutcome {
    Moved,     // the entry now has the new name
    Postponed, // registered for the next restart (RebootPending is set)
    Failed,    // left as it was; recorded as not renamed
};

// Moves oldPath to newPath. A move that fails for a reason a restart can clear
// (the file is in use) is registered for the next restart; one that cannot
// succeed then either (the name is taken, the path is refused) is not.
MoveOutcome MoveEntry(const std::wstring& oldPath, const std::wstring& newPath);

// The last component of a path: the text after its last backslash.
std::wstring::size_type LastComponentStart(const std::wstring& path);
