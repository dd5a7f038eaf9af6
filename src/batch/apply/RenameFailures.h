// What a run could not do: the entries its plan refused and the changes that failed, each named
// with its reason.
#pragma once

#include "RunSteps.h"

#include <string>
#include <vector>

struct RenameFailures {
    size_t count = 0;
    std::vector<std::wstring> firstPaths; // the first few, each with its reason, for the message
};

constexpr size_t kFailuresNamed = 5;

struct RunFailures {
    RenameFailures keptNames;     // refused by the plan, or a step failed and nothing of the entry changed
    RenameFailures changedInPart; // renamed (or otherwise changed), but a tag or a read-only mark was not
};

// The entries the plan could not change and the steps that failed, each named with the reason:
// an entry some of whose changes were made (a file renamed whose tag could not be written) is
// told apart, with what became of it. A file collected twice is not a failure: the first
// collection renamed it.
RunFailures FailuresOfRun(const RunPlan& plan, const RunSteps& steps, const std::vector<StepResult>& results);
