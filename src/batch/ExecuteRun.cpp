// A planned run applied: journaled first, then the changes in order, then its numbering recorded.
#include "ExecuteRun.h"

#include "ApplyRunSteps.h"
#include "ChangeWatch.h"
#include "CurrentDirectoryAside.h"
#include "MoveEntry.h"
#include "NumberFile.h"
#include "Progress.h"
#include "RunJournal.h"

#include <new>

namespace {

RunJournalContext JournalContext(const RunOptions& options, const PreparedRun& run)
{
    RunJournalContext context;
    context.journalFolder = options.journalFolder;
    if (run.plan.mode == ModeNumber && options.history) {
        context.historyFile = options.history->filePath;
        context.indexFile = run.numbering.indexPath;
    }
    context.favoritesOrder = run.plan.mode == ModeFavorites;
    context.favoritesRoot = options.favoritesRoot;
    return context;
}

// The index keeps every number the run used up, also for a file that kept its name. The system's
// error code when the memory could not be saved.
DWORD RecordNumbering(PreparedRun& run, const RunOptions& options, ChangeWatch& watch)
{
    const RunPlan& plan = run.plan;
    auto numbered = [&](const std::function<void(std::wstring_view)>& put) {
        std::wstring path;
        std::wstring spelling;
        for (size_t i = 0; i < plan.entries.size(); ++i) {
            const PlannedEntry& entry = plan.entries[i];
            path.assign(1, L'.');
            plan.names->AppendFolderPath(entry.folder, path);
            path.push_back(L'\\');
            if (entry.Renames() || entry.status == PlanStatus::CannotChange)
                path += plan.NewNameIn(entry, spelling);
            else
                path += NumberedName(plan.Name(entry), NumberedBaseName(options.nameText, plan.NumberOf(i), options.numberWidth))
                            .newName;
            put(path);
        }
    };
    return EndNumbering(*options.history, run.numbering, numbered, [&watch] { return watch.Made(); });
}

std::vector<StepResult> ApplyWithProgress(const RunPlan& plan, const RunSteps& steps, const RunHooks& hooks,
                                          ChangeWatch& watch)
{
    CaseRenameMemory memory;
    std::int32_t shown = 0;
    return ApplyRunSteps(
        plan, steps, memory,
        [&](std::int32_t entriesDone) {
            std::int32_t percent = ProgressPercent(entriesDone, plan.progressTotal);
            if (percent > shown) {
                shown = percent;
                if (hooks.progress)
                    hooks.progress(percent);
            }
        },
        watch);
}

RunCounts CountDone(const RunPlan& plan, const RunSteps& steps, const std::vector<StepResult>& results)
{
    RunCounts counts;
    // A move through a temporary name is two steps of one entry: entries are counted, not moves.
    std::vector<bool> moved(plan.entries.size(), false);
    for (size_t i = 0; i < steps.size(); ++i) {
        if (results[i].outcome != StepOutcome::Done)
            continue;
        size_t entry = static_cast<size_t>(steps.EntryOf(i));
        switch (steps.KindOf(i)) {
        case StepKind::ClearReadOnly:
            ++counts.readOnlyCleared;
            break;
        case StepKind::WriteTag:
            ++counts.tagsWritten;
            break;
        case StepKind::Move:
            if (!moved[entry]) {
                moved[entry] = true;
                ++counts.renamed;
            }
            break;
        }
    }
    return counts;
}

std::vector<std::wstring> PostponedEntries(const RunPlan& plan, const RunSteps& steps,
                                           const std::vector<StepResult>& results)
{
    std::vector<std::wstring> postponed;
    for (size_t i = 0; i < steps.size(); ++i) {
        if (results[i].outcome == StepOutcome::Postponed)
            postponed.push_back(plan.Path(plan.entries[static_cast<size_t>(steps.EntryOf(i))]));
    }
    return postponed;
}

// Seconds since a performance-counter reading.
double SecondsSince(const LARGE_INTEGER& start)
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

} // namespace

RunOutcome ExecuteRun(PreparedRun& run, const RunOptions& options, const RunHooks& hooks)
{
    RunOutcome outcome;
    if (hooks.changesBegin)
        hooks.changesBegin();
    // Started from inside the tree, this process's own current directory would hold a folder the
    // run renames.
    CurrentDirectoryAside aside;
    RunSteps steps;
    try {
        steps = OrderRunSteps(run.plan, TemporaryTag());
    } catch (const std::bad_alloc&) {
        // Ordered before the journal and the first change: a plan whose steps memory cannot hold
        // changes nothing.
        outcome.result = BatchResult::OutOfMemory;
        run.lock = RunLock();
        return outcome;
    }
    RunJournal journal;
    LARGE_INTEGER journalStart;
    QueryPerformanceCounter(&journalStart);
    bool journaled = BeginRunJournal(run.plan, steps, JournalContext(options, run), journal);
    outcome.journalSeconds += SecondsSince(journalStart);
    if (!journaled) {
        outcome.result = BatchResult::JournalFailed;
        outcome.journalError = journal.error;
        run.lock = RunLock();
        return outcome;
    }
    // A run stopped after a change ends there as a crash would: the next run over the tree takes
    // it back whole (TakeBackUnfinishedRuns), as does Undo.
    ChangeWatch watch(hooks.afterChange);
    std::vector<StepResult> results = ApplyWithProgress(run.plan, steps, hooks, watch);
    // Saved before anyone is told: a program ended while the closing messages are shown must not
    // leave the history's counts behind the index files already written.
    if (!watch.Stopped() && run.plan.mode == ModeNumber && options.history)
        outcome.memoryError = RecordNumbering(run, options, watch);
    else if (!watch.Stopped() && options.history && SaveHistory(*options.history))
        watch.Made();
    // Ending the journal is the run's last change: until then a run cut short is one that never
    // ended, whose memory files Undo writes back with its names.
    if (!watch.Stopped()) {
        QueryPerformanceCounter(&journalStart);
        if (EndRunJournal(journal, run.plan, steps, results))
            watch.Made();
        outcome.journalSeconds += SecondsSince(journalStart);
    }
    if (watch.Stopped()) {
        outcome.stopped = true;
        return outcome;
    }
    run.lock = RunLock();

    outcome.done = CountDone(run.plan, steps, results);
    outcome.postponed = PostponedEntries(run.plan, steps, results);
    RunFailures failures = FailuresOfRun(run.plan, steps, results);
    outcome.failures = std::move(failures.keptNames);
    outcome.changedInPart = std::move(failures.changedInPart);
    return outcome;
}
