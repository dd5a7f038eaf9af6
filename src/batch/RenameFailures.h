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

// The entries the plan could not change and the steps that failed, each named with the reason.
// A file collected twice is not a failure: the first collection renamed it.
RenameFailures FailuresOfRun(const RunPlan& plan, const RunSteps& steps, const std::vector<StepResult>& results);
