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

RenameFailures FailuresOfRun(const RunPlan& plan, const RunSteps& steps, const std::vector<StepResult>& results)
{
    RenameFailures failures;
    for (const PlannedEntry& entry : plan.entries) {
        if (entry.status == PlanStatus::CannotChange)
            RecordFailedRename(failures, entry.path + L" (" + RefusalText(entry) + L")");
    }
    for (size_t i = 0; i < steps.size() && i < results.size(); ++i) {
        const StepResult& result = results[i];
        if (result.outcome != StepOutcome::Failed)
            continue;
        std::wstring text = plan.entries[static_cast<size_t>(steps.EntryOf(i))].path + L" (" + StepText(steps.KindOf(i)) +
                            L": " + SystemErrorText(result.error) + L")";
        // The user must be able to find the entry under the name it really has now.
        if (!result.strandedAt.empty())
            text += L" - it is now " + DisplayPath(result.strandedAt);
        RecordFailedRename(failures, text);
    }
    return failures;
}
