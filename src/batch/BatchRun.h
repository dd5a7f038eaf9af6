// The engine's entry points: a run over a folder tree is collected and planned (PrepareRun.h), then
// applied, journaled and recorded (ExecuteRun.h). Values in, results out; it asks and tells only
// through its hooks.
#pragma once

#include "ExecuteRun.h"
#include "PrepareRun.h"

#include <string>

// Both steps at once, as Start and the command line run them.
RunOutcome BatchRun(const std::wstring& folder, const RunOptions& options, const RunHooks& hooks);
