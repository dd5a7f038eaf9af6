// The planner of a run: gives each collected entry its new name, its status and what else happens to
// it (the RunPlan of RunPlan.h), before anything changes.
#pragma once

#include "CollectEntries.h"
#include "RunOptions.h"

#include <functional>

// Asked now and then while a plan is worked out: true when nobody wants the plan any more. The
// planning then stops at once, and the plan it gives is to be dropped.
using PlanCancelled = std::function<bool()>;

// Gives every entry of the collected tree its new name, what else happens to it and its
// status. A new name another entry holds is free only when that entry moves away in the same
// run; then the applier moves that entry first. In ModeFindReplace two entries of a folder that
// would get the same name both keep theirs.
RunPlan PlanRun(CollectedTree tree, const RunOptions& options, const PlanCancelled& cancelled = {});
// The same over entries and the names held beside them, taken apart: a plan worked out again and
// again over the same entries (Find and Replace as the user types) reuses their room and that of
// the new names.
RunPlan PlanRun(RunPlan entries, const std::vector<HeldName>& held, const RunOptions& options,
                const PlanCancelled& cancelled = {});
