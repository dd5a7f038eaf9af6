// What a run could not do, each named with its reason.
#include "RenameFailures.h"

#include "ExtendedPath.h"
#include "Win32Text.h"

static void RecordFailedRename(RenameFailures& failures, const std::wstring& text)
{
    ++failures.count;
    if (failures.firstPaths.size() < kFailuresNamed)
        failures.firstPaths.push_back(text);
}

static const wchar_t* StepText(StepKind kind)
{
    switch (kind) {
    case StepKind::ClearReadOnly:
        return L"read-only mark not cleared";
    case StepKind::WriteTag:
        return L"tag not written";
    default:
        return L"not renamed";
    }
}

namespace {

// What became of each entry that has steps: whether a move of it failed and whether anything of
// it changed.
struct EntryFate {
    bool moveFailed = false;
    bool changed = false;
    bool renamed = false;
};

std::vector<EntryFate> FatesOf(size_t entries, const RunSteps& steps, const std::vector<StepResult>& results)
{
    std::vector<EntryFate> fates(entries);
    for (size_t i = 0; i < steps.size() && i < results.size(); ++i) {
        EntryFate& fate = fates[static_cast<size_t>(steps.EntryOf(i))];
        bool move = steps.KindOf(i) == StepKind::Move;
        if (results[i].outcome == StepOutcome::Failed && move)
            fate.moveFailed = true;
        if (results[i].outcome == StepOutcome::Done || results[i].outcome == StepOutcome::Postponed) {
            fate.changed = true;
            fate.renamed = fate.renamed || move;
        }
    }
    return fates;
}

} // namespace

RunFailures FailuresOfRun(const RunPlan& plan, const RunSteps& steps, const std::vector<StepResult>& results)
{
    RunFailures failures;
    for (const PlannedEntry& entry : plan.entries) {
        if (entry.status == PlanStatus::CannotChange)
            RecordFailedRename(failures.keptNames, plan.Path(entry) + L" (" + RefusalText(plan, entry) + L")");
    }
    const std::vector<EntryFate> fates = FatesOf(plan.entries.size(), steps, results);
    for (size_t i = 0; i < steps.size() && i < results.size(); ++i) {
        const StepResult& result = results[i];
        if (result.outcome != StepOutcome::Failed)
            continue;
        const size_t entry = static_cast<size_t>(steps.EntryOf(i));
        const PlannedEntry& planned = plan.entries[entry];
        const EntryFate& fate = fates[entry];
        std::wstring reason = L" (" + std::wstring(StepText(steps.KindOf(i))) + L": " + SystemErrorText(result.error) + L")";
        if (steps.KindOf(i) != StepKind::Move && !fate.moveFailed && fate.changed) {
            std::wstring text = plan.Path(planned);
            if (fate.renamed)
                text += L" renamed to " + plan.NewNameOf(planned);
            RecordFailedRename(failures.changedInPart, text + reason);
            continue;
        }
        std::wstring text = plan.Path(planned) + reason;
        // The user must be able to find the entry under the name it really has now.
        if (!result.strandedAt.empty())
            text += L" - it is now " + DisplayPath(result.strandedAt.str());
        RecordFailedRename(failures.keptNames, text);
    }
    return failures;
}
