// What a run could not do, reported once at its end.
#include "RenameFailures.h"

#include "ExtendedPath.h"
#include "Win32Text.h"

#include <algorithm>

void RecordFailedRename(RenameFailures& failures, const std::wstring& text)
{
    ++failures.count;
    if (failures.firstPaths.size() < kFailuresNamed)
        failures.firstPaths.push_back(text);
}

static const wchar_t* ReasonText(PlanReason reason)
{
    switch (reason) {
    case PlanReason::NameHeld:
        return L"the new name is taken";
    case PlanReason::NameReserved:
        return L"the new name is reserved for a device";
    case PlanReason::NameTooLong:
        return L"the new name is too long";
    default:
        return L"it cannot be renamed";
    }
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
            RecordFailedRename(failures, entry.path + L" (" + ReasonText(entry.reason) + L")");
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

bool AnyPostponed(const std::vector<StepResult>& results)
{
    return std::any_of(results.begin(), results.end(),
                       [](const StepResult& result) { return result.outcome == StepOutcome::Postponed; });
}

std::wstring FailedRenamesMessage(const RenameFailures& failures)
{
    std::wstring text = failures.count == 1 ? std::wstring(L"1 item could not be renamed:\n")
                                            : std::to_wstring(failures.count) + L" items could not be renamed:\n";
    for (const std::wstring& path : failures.firstPaths)
        text += L"\n" + path;
    if (failures.count > failures.firstPaths.size())
        text += L"\n... and " + std::to_wstring(failures.count - failures.firstPaths.size()) + L" more";
    return text;
}

void ReportFailedRenames(HWND owner, const RenameFailures& failures)
{
    if (failures.count == 0)
        return;
    MessageBoxW(owner, FailedRenamesMessage(failures).c_str(), L"Nomaro", MB_ICONWARNING | MB_OK);
}
