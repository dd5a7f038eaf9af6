// A batch run as the main window shows it: the "Calculating..." box while the tree is walked, the
// resume question, the progress bar while the changes are made, the hint hidden meanwhile, and
// the boxes at its end. With no window (the command line) only the boxes remain, owned by none.
#pragma once

#include "BatchRun.h"

#include <windows.h>

#include <string>

// Collects and plans the run; changes nothing.
PreparedRun PrepareWindowRun(HWND window, const std::wstring& folder, const RunOptions& options);
// Collects and plans a prepared run again, under the lock it holds; window (a dialog, say) owns the
// "Calculating..." box meanwhile.
void PrepareWindowRunAgain(HWND window, PreparedRun& run, const std::wstring& folder, const RunOptions& options);
// Applies a prepared run and, when it completed, tells the user what waits for a restart and what
// kept its name.
RunOutcome ExecuteWindowRun(HWND window, PreparedRun& run, const RunOptions& options);
// Both at once, as Start and the command line run them.
RunOutcome WindowBatchRun(HWND window, const std::wstring& folder, const RunOptions& options);
