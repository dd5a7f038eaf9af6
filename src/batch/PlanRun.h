// Works out what a run will do to each collected entry, before anything changes.
#pragma once

#include "CollectEntries.h"
#include "RunOptions.h"

// Gives every entry of the collected tree its new name, what else happens to it and its
// status. A new name another entry holds is free only when that entry moves away in the same
// run; then the applier moves that entry first.
RunPlan PlanRun(CollectedTree tree, const RunOptions& options);
