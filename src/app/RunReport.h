// What the user is told at the end of a batch run: why it changed nothing, which renames wait for
// the next restart, and which entries kept their names.
#pragma once

#include "BatchRun.h"

#include <windows.h>

#include <string>

// The text that tells the user why a run changed nothing; empty for a completed run.
std::wstring BatchResultMessage(BatchResult result, const std::wstring& path);
// The text that tells the user how many entries kept their names, naming the first few.
std::wstring FailedRenamesMessage(const RenameFailures& failures);

// The boxes that end a completed run, owned by owner (none on the command line): "Reboot Required"
// when a rename waits for the next restart, then the entries that kept their names, if any.
void ReportRunEnd(HWND owner, const RunOutcome& outcome);
