// A run collected and planned before anything changes.
#include "PrepareRun.h"

#include "CollectEntries.h"
#include "ExtendedPath.h"
#include "RunPlanner.h"
#include "UnfinishedRuns.h"

#include <new>

static void Call(const std::function<void()>& hook)
{
    if (hook)
        hook();
}

static void CollectAndPlanTree(PreparedRun& run, const std::wstring& folder, const std::wstring& root, DWORD attributes,
                               const RunOptions& options, const RunHooks& hooks, bool& collecting);

// Everything of a prepared run but its lock, which the caller has taken.
static void CollectAndPlan(PreparedRun& run, const std::wstring& folder, const RunOptions& options, const RunHooks& hooks)
{
    // Every entry is reached by its exact name: trailing dots and blanks, device names, any length.
    std::wstring root = ExtendedLengthPath(folder);
    DWORD attributes = GetFileAttributesW(root.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        run.result = BatchResult::PathNotFound;
        return;
    }

    // A run over this tree cut short (a crash) is taken back first, when the user agrees: its plan
    // would be made from names half changed, one perhaps a temporary name.
    UndoTarget target;
    target.historyFile = options.history ? options.history->filePath : std::wstring();
    target.history = options.history;
    target.favoritesRoot = options.favoritesRoot;
    TakeBackUnfinishedRuns(options.journalFolder, root, target, hooks);

    // A tree beyond what the process can hold fails an allocation while it is walked or planned: the
    // run then stops with nothing changed and no half-made plan left to apply.
    bool collecting = false;
    try {
        CollectAndPlanTree(run, folder, root, attributes, options, hooks, collecting);
    } catch (const std::bad_alloc&) {
        run.plan = RunPlan();
        run.numbering = NumberingSession();
        run.result = BatchResult::OutOfMemory;
        // The "Calculating..." box goes before the user is told.
        if (collecting)
            Call(hooks.collectionEnds);
    }
}

// The tree at root walked and planned; collecting is true while the "Calculating..." box stands.
static void CollectAndPlanTree(PreparedRun& run, const std::wstring& folder, const std::wstring& root, DWORD attributes,
                               const RunOptions& options, const RunHooks& hooks, bool& collecting)
{
    RunOptions planned = options;
    CollectedTree tree;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        // A path naming a file is one entry of its own in the case and read-only modes.
        if (options.mode == ModeNumber) {
            run.result = BatchResult::PathNotFound;
            return;
        }
        tree = CollectOneFile(root);
    } else {
        Call(hooks.collectionBegins);
        collecting = true;
        if (options.mode == ModeNumber && options.history) {
            run.numbering = BeginNumbering(*options.history, folder, hooks.askResume);
            // A resumed folder goes on after the files numbered before.
            if (run.numbering.resumed)
                planned.startNumber = run.numbering.resumeAt;
        }
        Call(hooks.keepAlive);
        tree = CollectEntries(root, planned, run.numbering.exclusions.get(), hooks.keepAlive, hooks.afterEntry);
        Call(hooks.keepAlive);
        collecting = false;
        Call(hooks.collectionEnds);
    }
    run.plan = PlanRun(std::move(tree), planned);
}

PreparedRun PrepareRun(const std::wstring& folder, const RunOptions& options, const RunHooks& hooks)
{
    PreparedRun run;
    if (folder.empty()) {
        run.result = BatchResult::PathNotFound;
        return run;
    }
    // Taken before the tree is read: a run that waited plans with the names the other one left.
    run.lock = AcquireRunLock(hooks);
    CollectAndPlan(run, folder, options, hooks);
    return run;
}

void PrepareRunAgain(PreparedRun& run, const std::wstring& folder, const RunOptions& options, const RunHooks& hooks)
{
    RunLock lock = std::move(run.lock);
    run = PreparedRun();
    run.lock = std::move(lock);
    if (folder.empty())
        run.result = BatchResult::PathNotFound;
    else
        CollectAndPlan(run, folder, options, hooks);
}
