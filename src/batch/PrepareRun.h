// The first entry point of a run: the tree collected and planned, under the runs' lock, changing nothing.
#pragma once

#include "HistoryStore.h"
#include "RunHooks.h"
#include "RunLock.h"
#include "RunOptions.h"
#include "RunPlan.h"

#include <string>

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
