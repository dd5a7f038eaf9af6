// The Start button: takes the request, freezes the panel, runs the mode and reports the end.
#pragma once

#include "BatchRun.h"

#include <windows.h>

#include <string>

// True when the batch run completed; otherwise the user has been told why it changed nothing.
bool ReportRunResult(HWND window, BatchResult result, const std::wstring& folder);

void RunStart(HWND window);
