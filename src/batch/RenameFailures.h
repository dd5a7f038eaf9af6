// What a run could not do, reported once at its end.
#pragma once

#include "RunSteps.h"

#include <windows.h>

#include <string>
#include <vector>

struct RenameFailures {
    size_t count = 0;
    std::vector<std::wstring> firstPaths; // the first few, for the message
};

constexpr size_t kFailuresNamed = 5;

void RecordFailedRename(RenameFailures& failures, const std::wstring& text);

// The entries the plan could not change and the steps that failed, each named with the reason.
// A file collected twice is not a failure: the first collection renamed it.
RenameFailures FailuresOfRun(const RunPlan& plan, const RunSteps& steps, const std::vector<StepResult>& results);
// True when some move of the run waits for the next restart.
bool AnyPostponed(const std::vector<StepResult>& results);

// The text that tells the user how many entries kept their names, naming the first few.
std::wstring FailedRenamesMessage(const RenameFailures& failures);
// Shows that text when the run had failures; owner may be none.
void ReportFailedRenames(HWND owner, const RenameFailures& failures);
