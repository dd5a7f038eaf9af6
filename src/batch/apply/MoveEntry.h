// Renames one entry by its exact path, coping with file systems that ignore case-only renames.
#pragma once

#include "ChangeWatch.h"
#include "RunSteps.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <unordered_map>

// What a run has learnt, volume by volume, of whether a rename that changes only letter case
// is applied. FAT32, exFAT, some network shares and Wine report it as done and change nothing.
struct CaseRenameMemory {
    enum class Answer : std::uint8_t { Unknown, Applied, Ignored };
    Answer Lookup(DWORD volume) const;
    // A volume serial number of 0 identifies nothing and is not remembered.
    void Learn(DWORD volume, bool applied);

    std::unordered_map<DWORD, bool> applies;
};

// A tag that makes the temporary names of this process's run, or Undo, unlike any other's.
std::wstring TemporaryTag();
// "~nomaro-TAG-ENTRY.tmp": the temporary name of an entry (by its number in the run) in its folder.
std::wstring TemporaryName(const std::wstring& tag, std::int32_t entry);

// Each move below tells watch once it is made; once watch stops the run, no further move is tried.

// Moves oldPath to newPath, never onto an existing entry. A move that fails for a reason a
// restart can clear (the file is in use) is registered for the next restart.
StepResult MoveEntry(const std::wstring& oldPath, const std::wstring& newPath, ChangeWatch& watch);

// The same for a move that changes only the letter case of the name. On a volume that ignores
// such a rename it passes through temporaryPath, a free name in the same folder; if the second
// step fails the entry goes back to oldPath, and the result says where it is if even that fails.
StepResult MoveEntryCaseOnly(const std::wstring& oldPath, const std::wstring& newPath, const std::wstring& temporaryPath,
                             DWORD volume, CaseRenameMemory& memory, ChangeWatch& watch);

// A move from oldPath to newPath through temporaryPath, a free name in the same folder: for a
// case-only rename the file system reports and ignores. If the second step fails the entry goes
// back to oldPath, and the result says where it is if even that fails. When the first step is
// refused, a run registers the rename for the restart where a restart can clear the reason;
// Undo gives up, the entry still at oldPath.
enum class WhenRefused { PostponeToRestart, GiveUp };
StepResult MoveThroughTemporaryName(const std::wstring& oldPath, const std::wstring& newPath,
                                    const std::wstring& temporaryPath, WhenRefused refused, ChangeWatch& watch);
