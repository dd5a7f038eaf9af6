// One run of the selected operation over a folder tree: collect, plan, apply, record.
#pragma once

#include "OperationMode.h"
#include "PathList.h"
#include "RunOptions.h"
#include "RunPlan.h"
#include "RunSteps.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

enum class BatchResult {
    Completed,
    PathNotFound,  // the path is empty, does not exist or cannot be opened: nothing was changed
    JournalFailed, // the undo journal could not be written: nothing was changed
};

// The options of a run started from the main window (none: command-line mode).
RunOptions ReadRunOptions(HWND window, OperationMode mode);

// A run collected and planned, not yet applied.
struct PreparedRun {
    RunOptions options;
    RunPlan plan;
    std::unique_ptr<PathList> exclusions; // ModeNumber: the files of earlier runs, kept in the index
};

// Collects and plans the run; changes nothing on disk. In ModeNumber it brings in the numbering
// history, which may ask whether to resume. window is the main window, or none.
BatchResult PrepareRun(HWND window, const std::wstring& folder, const RunOptions& options, PreparedRun& run);

// Where a run's time went, for the benchmark; filled only when asked for.
struct RunTimings {
    double journalSeconds = 0; // writing the undo journal and completing it
};
// Applies a prepared run exactly as planned, records it and tells the user what could not be done.
BatchResult ExecuteRun(HWND window, PreparedRun& run, RunTimings* timings = nullptr);

// Both steps at once, as Start and the command line run them.
BatchResult BatchRun(HWND window, const std::wstring& folder, const RunOptions& options, RunTimings* timings = nullptr);
// The same with the options read from the window (none: command-line mode) for the mode given.
BatchResult BatchRun(HWND window, const std::wstring& folder, OperationMode mode);
BatchResult BatchRun(HWND window, const std::wstring& folder);

// The text that tells the user a path could not be used.
std::wstring PathNotFoundMessage(const std::wstring& path);
// The text that tells the user why a run changed nothing; empty for a completed run.
std::wstring BatchResultMessage(BatchResult result, const std::wstring& path);
