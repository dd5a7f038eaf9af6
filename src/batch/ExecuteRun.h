// The second entry point of a run: a prepared run journaled, applied and recorded.
#pragma once

#include "PrepareRun.h"
#include "RenameFailures.h"

#include <string>
#include <vector>

// What a run did.
struct RunCounts {
    size_t renamed = 0;
    size_t readOnlyCleared = 0;
    size_t tagsWritten = 0;
};
struct RunOutcome {
    BatchResult result = BatchResult::Completed;
    RunCounts done;
    // The entries (".\Sub\Name.txt") whose rename waits for the next restart.
    std::vector<std::wstring> postponed;
    // What the plan refused and what failed, each named with its reason: the entries that kept
    // their names, and those changed only in part (renamed, but a tag not written), told apart.
    RenameFailures failures;
    RenameFailures changedInPart;
    // JournalFailed: why the journal could not be written (the system's error code).
    DWORD journalError = ERROR_SUCCESS;
    // ModeNumber: why the numbering memory could not be saved; it is then as it was before the
    // run, and the next run over the folder numbers as if this one had not been remembered.
    DWORD memoryError = ERROR_SUCCESS;
    bool RestartNeeded() const { return !postponed.empty(); }
    // The share of the run spent writing and completing its undo journal, for the benchmark.
    double journalSeconds = 0;
    // hooks.afterChange stopped the run: it ended as a crash would, and nothing else here is set.
    bool stopped = false;
};

// Applies a prepared run exactly as planned, journaled first, then records its numbering and
// saves the history (options as given to PrepareRun). Lets the run's lock go at its end.
RunOutcome ExecuteRun(PreparedRun& run, const RunOptions& options, const RunHooks& hooks);
