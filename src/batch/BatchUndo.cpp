// Undo as the engine runs it: one journal's life from the offer to its removal or set-aside name.
#include "BatchUndo.h"

#include "HistoryStore.h"
#include "JournalStore.h"
#include "RunJournal.h"

namespace {

// What happens to a journal taken back, with changes that could not be taken back, when all of it
// could be read: Undo has done what it could; a run's take-back leaves the rest to Undo.
enum class NotAllUndone { Remove, KeepForUndo };

UndoOutcome UndoAndPutAway(const std::wstring& path, const RunJournalData& journal, const UndoTarget& target,
                           NotAllUndone notAllUndone)
{
    UndoOutcome outcome;
    static_cast<UndoReport&>(outcome) = UndoJournal(journal, target);
    // A record read only in part is kept, as what is left of the changes that could not be undone.
    if (journal.damage.Any())
        outcome.keptAs = SetAsideJournal(path);
    else if (notAllUndone == NotAllUndone::KeepForUndo && !outcome.notUndone.empty())
        MarkJournalEndedInPlace(path, journal.header.stepCount);
    else
        RemoveJournal(path);
    // The history in memory would otherwise be saved over the restored file at the next run's end.
    if (outcome.historyRestored && target.history)
        ReloadHistory(*target.history);
    return outcome;
}

// Sets aside the unreadable journals still under their journal names, so that they are kept and
// no longer looked at as runs; true when there was any.
bool SetAsideUnreadable(UndoOffer& offer)
{
    bool any = false;
    for (UnreadableJournal& journal : offer.unreadable) {
        if (journal.setAside)
            continue;
        journal.path = SetAsideJournal(journal.path);
        journal.setAside = true;
        any = true;
    }
    return any;
}

} // namespace

PreparedUndo PrepareUndo(const std::wstring& journalFolder, const UndoTarget& target, const RunHooks& hooks)
{
    PreparedUndo undo;
    undo.target = target;
    // A run of another Nomaro (a command line) would change what is taken back: wait for its end.
    undo.lock = AcquireRunLock(hooks);
    undo.offer = FindUndoOffer(journalFolder);
    undo.newlySetAside = SetAsideUnreadable(undo.offer);
    const std::wstring& path = undo.offer.journalPath;
    if (path.empty())
        return undo;
    if (!LoadJournal(path, undo.journal)) {
        undo.state = UndoOfferState::Unreadable;
        undo.keptAs = SetAsideJournal(path);
        return undo;
    }
    undo.counts = CountUndo(undo.journal);
    if (undo.counts.Any()) {
        undo.state = UndoOfferState::Ready;
    } else if (undo.journal.damage.Any()) {
        undo.state = UndoOfferState::NothingReadable;
        undo.keptAs = SetAsideJournal(path);
    } else {
        undo.state = UndoOfferState::NothingToUndo;
    }
    return undo;
}

UndoOutcome ExecuteUndo(PreparedUndo& undo, const RunHooks& hooks)
{
    if (undo.state == UndoOfferState::NothingToUndo) {
        RemoveJournal(undo.offer.journalPath);
        undo.state = UndoOfferState::None;
    }
    if (undo.state != UndoOfferState::Ready)
        return UndoOutcome();
    if (hooks.changesBegin)
        hooks.changesBegin();
    undo.state = UndoOfferState::None;
    return UndoAndPutAway(undo.offer.journalPath, undo.journal, undo.target, NotAllUndone::Remove);
}

UndoOutcome TakeBackJournal(const std::wstring& path, const UndoTarget& target)
{
    RunJournalData journal;
    if (!LoadJournal(path, journal)) {
        UndoOutcome outcome;
        outcome.keptAs = SetAsideJournal(path);
        return outcome;
    }
    return UndoAndPutAway(path, journal, target, NotAllUndone::KeepForUndo);
}
