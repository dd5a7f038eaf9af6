// The Start button: takes the request, freezes the panel, runs the mode and reports the end.
#pragma once

#include "BatchRun.h"

#include <windows.h>

#include <string>

// True when the batch run completed; otherwise the user has been told why it changed nothing.
bool ReportRunResult(HWND window, BatchResult result, const std::wstring& folder);
// The same for an applied run, whose journal may have been refused (kept in options.journalFolder).
bool ReportRunResult(HWND window, const RunOutcome& outcome, const std::wstring& folder, const RunOptions& options);

void RunStart(HWND window);
