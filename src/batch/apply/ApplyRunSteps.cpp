// Makes the ordered changes of a run, one step after the other.
#include "ApplyRunSteps.h"

#include "CaseOperations.h"
#include "Id3v1Tag.h"

static StepResult Outcome(DWORD error)
{
    StepResult result;
    result.outcome = error == ERROR_SUCCESS ? StepOutcome::Done : StepOutcome::Failed;
    result.error = error;
    return result;
}

// A read-only mark cleared or a tag written: one change.
static StepResult Changed(StepResult result, ChangeWatch& watch)
{
    if (result.outcome == StepOutcome::Done)
        watch.Made();
    return result;
}

static StepResult MakeStep(const RunPlan& plan, const RunStep& step, CaseRenameMemory& memory, ChangeWatch& watch)
{
    const PlannedEntry& entry = plan.entries[static_cast<size_t>(step.entry)];
    switch (step.kind) {
    case StepKind::ClearReadOnly:
        return Changed(Outcome(ClearReadOnly(step.path)), watch);
    case StepKind::WriteTag:
        return Changed(Outcome(StampId3v1Tag(step.path, plan.TagText(entry))), watch);
    case StepKind::Move:
        if (!step.temporaryPath.empty())
            return MoveEntryCaseOnly(step.path, step.newPath, step.temporaryPath, entry.volume, memory, watch);
        return MoveEntry(step.path, step.newPath, watch);
    }
    return Outcome(ERROR_INVALID_FUNCTION);
}

std::vector<StepResult> ApplyRunSteps(const RunPlan& plan, const RunSteps& steps, CaseRenameMemory& memory,
                                      const std::function<void(std::int32_t entriesDone)>& entriesDone,
                                      ChangeWatch& watch)
{
    const size_t count = plan.entries.size();
    std::vector<std::int32_t> stepsLeft(count, 0);
    for (size_t i = 0; i < steps.size(); ++i)
        ++stepsLeft[static_cast<size_t>(steps.EntryOf(i))];
    std::vector<bool> entryFailed(count, false);
    size_t finished = 0; // entries at the front of the collection order with no step left
    auto report = [&] {
        size_t before = finished;
        while (finished < count && stepsLeft[finished] == 0)
            ++finished;
        if (finished != before && entriesDone)
            entriesDone(static_cast<std::int32_t>(finished));
    };
    report();

    std::vector<StepResult> results(steps.size());
    for (size_t i = 0; i < steps.size(); ++i) {
        size_t entry = static_cast<size_t>(steps.EntryOf(i));
        // A tag or a read-only mark that could not be changed does not keep the file from its
        // new name; a move that failed keeps it from its next one.
        if (!entryFailed[entry]) {
            results[i] = MakeStep(plan, steps[i], memory, watch);
            if (watch.Stopped())
                break;
            if (steps.KindOf(i) == StepKind::Move && results[i].outcome != StepOutcome::Done)
                entryFailed[entry] = true;
        }
        --stepsLeft[entry];
        report();
    }
    return results;
}
