// Both steps of a run at once, as Start and the command line run them.
#include "BatchRun.h"

RunOutcome BatchRun(const std::wstring& folder, const RunOptions& options, const RunHooks& hooks)
{
    PreparedRun run = PrepareRun(folder, options, hooks);
    if (run.result != BatchResult::Completed) {
        RunOutcome outcome;
        outcome.result = run.result;
        return outcome;
    }
    return ExecuteRun(run, options, hooks);
}
