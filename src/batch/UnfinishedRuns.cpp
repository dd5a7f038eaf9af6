// Runs that never ended, taken back before the next run over their tree plans.
#include "UnfinishedRuns.h"

#include "AsciiCase.h"
#include "BatchUndo.h"
#include "JournalStore.h"

// True when one of the two folders is the other or holds it, as spelled (\\?\ forms).
static bool SameTree(std::wstring_view a, std::wstring_view b)
{
    auto holds = [](std::wstring_view outer, std::wstring_view inner) {
        if (!outer.empty() && outer.back() == L'\\')
            outer.remove_suffix(1);
        return StartsWithAsciiNoCase(inner, outer) && (inner.size() == outer.size() || inner[outer.size()] == L'\\');
    };
    return holds(a, b) || holds(b, a);
}

bool TakeBackUnfinishedRuns(const std::wstring& journalFolder, const std::wstring& root, const UndoTarget& target,
                            const RunHooks& hooks)
{
    bool historyRestored = false;
    bool asked = false;
    if (journalFolder.empty())
        return historyRestored;
    for (const std::wstring& name : ListJournals(journalFolder)) {
        std::wstring path = journalFolder + L"\\" + name;
        std::string head;
        JournalHeader header;
        // An empty or unreadable journal tells nothing of its tree; Undo names it.
        if (!ReadJournalFile(path, head, kMaxJournalHeaderSize) || !DecodeJournalHeader(head, header) ||
            !SameTree(header.root, root))
            continue;
        // Older runs lie beneath one that ended, or one still in progress in another logon
        // session: they are Undo's to take back, newest first.
        if (header.state == JournalState::Ended || JournalHeld(path))
            break;
        if (!asked) {
            asked = true;
            if (hooks.askTakeBackUnfinished && !hooks.askTakeBackUnfinished(header.root))
                break;
        }
        UndoOutcome outcome = TakeBackJournal(path, target);
        historyRestored = historyRestored || outcome.historyRestored;
        // Whoever agreed to the take-back learns what of it did not happen. What could not be
        // taken back (an entry changed since, the memory files of a run with memory taken back by
        // one without) stays for Undo, no longer as a run cut short.
        if (hooks.tookBackInPart && (!outcome.keptAs.empty() || !outcome.notUndone.empty()))
            hooks.tookBackInPart(header.root, outcome, outcome.keptAs);
    }
    return historyRestored;
}
