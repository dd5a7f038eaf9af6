// The engine's entry points: a run over a folder tree is collected and planned, then applied,
// journaled and recorded. Values in, results out; it asks and tells only through its hooks.
#pragma once

#include "HistoryStore.h"
#include "RenameFailures.h"
#include "RunHooks.h"
#include "RunLock.h"
#include "RunOptions.h"
#include "RunPlan.h"

#include <string>
#include <vector>

enum class BatchResult {
    Completed,
    PathNotFound,  // the path is empty, does not exist or cannot be opened: nothing was changed
    JournalFailed, // the undo journal could not be written: nothing was changed
    OutOfMemory,   // the tree or its plan did not fit in memory: the run stopped before any change
};

// A run collected and planned, not yet applied. It holds the runs' lock, so no other run changes
// the tree between the plan and its changes; dropping it lets the lock go and changes nothing.
struct PreparedRun {
    BatchResult result = BatchResult::Completed;
    RunPlan plan;
    NumberingSession numbering; // ModeNumber with a history: the folder's memory
    RunLock lock;
};

// Collects and plans the run; changes nothing, on disk or in the history, but first takes back any
// run over the same tree that never ended (TakeBackUnfinishedRuns), when hooks.askTakeBackUnfinished
// agrees. In ModeNumber with a history it may ask hooks.askResume; a resumed folder's plan numbers
// on from the record's count.
PreparedRun PrepareRun(const std::wstring& folder, const RunOptions& options, const RunHooks& hooks);
// Collects and plans a prepared run again from what the tree holds now, under the lock it holds
// (File > Find and Replace walks the tree again on F5).
void PrepareRunAgain(PreparedRun& run, const std::wstring& folder, const RunOptions& options, const RunHooks& hooks);

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
    // What the plan refused and what failed, each named with its reason.
    RenameFailures failures;
    bool RestartNeeded() const { return !postponed.empty(); }
    // The share of the run spent writing and completing its undo journal, for the benchmark.
    double journalSeconds = 0;
    // hooks.afterChange stopped the run: it ended as a crash would, and nothing else here is set.
    bool stopped = false;
};

// Applies a prepared run exactly as planned, journaled first, then records its numbering and
// saves the history (options as given to PrepareRun). Lets the run's lock go at its end.
RunOutcome ExecuteRun(PreparedRun& run, const RunOptions& options, const RunHooks& hooks);

// Both steps at once, as Start and the command line run them.
RunOutcome BatchRun(const std::wstring& folder, const RunOptions& options, const RunHooks& hooks);
