// What the user is told at the end of a batch run: why it changed nothing, which renames wait for
// the next restart, and which entries kept their names.
#pragma once

#include "BatchRun.h"

#include <windows.h>

#include <string>

// The text that tells the user why a run changed nothing; empty for a completed run. A journal that
// could not be written is named with its folder and the system's reason.
std::wstring BatchResultMessage(BatchResult result, const std::wstring& path, DWORD journalError = ERROR_SUCCESS,
                                const std::wstring& journalFolder = std::wstring());
// The text that tells the user how many entries kept their names, naming the first few, and then
// those changed only in part.
std::wstring FailedRenamesMessage(const RenameFailures& failures,
                                  const RenameFailures& changedInPart = RenameFailures());
// The text that tells the user the numbering memory in folder could not be saved, and why.
std::wstring MemoryNotSavedMessage(DWORD error, const std::wstring& folder);

// The boxes that end a completed run, owned by owner (none on the command line): "Reboot Required"
// when a rename waits for the next restart, then the entries that kept their names or were changed
// in part, if any, then a numbering memory that could not be saved (kept in memoryFolder).
void ReportRunEnd(HWND owner, const RunOutcome& outcome, const std::wstring& memoryFolder);
