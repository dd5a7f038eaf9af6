// Plan entries made by hand for tests, by their ".\Sub\Name" paths, as a walk would give them.
#pragma once

#include "RunPlan.h"

#include <string_view>

// Appends an entry at path (".\Sub\Name.txt") to the plan: its folders get numbers in the plan's
// names as they are first met, and folder is set to the entry's. Nothing else is set.
PlannedEntry& AddPlannedEntry(RunPlan& plan, std::wstring_view path);
