// Makes the ordered changes of a run, one step after the other.
#pragma once

#include "MoveEntry.h"
#include "RunSteps.h"

#include <functional>
#include <vector>

// Makes each step and gives what happened to it, step by step. Once a step of an entry
// fails, its later steps are not tried. entriesDone is told, after each step, how many
// entries at the front of the collection order have all their steps behind them. watch is told
// each change to the disk; once it stops the run, no further step is tried.
std::vector<StepResult> ApplyRunSteps(const RunPlan& plan, const RunSteps& steps, CaseRenameMemory& memory,
                                      const std::function<void(std::int32_t entriesDone)>& entriesDone,
                                      ChangeWatch& watch);
