// The engine's Undo entry points: the newest journaled run is offered with its counts and what of
// its record could not be read, then taken back, and its journal removed or kept.
#pragma once

#include "RunHooks.h"
#include "RunLock.h"
#include "UndoRun.h"

#include <string>

enum class UndoOfferState {
    None,            // no run to undo (newer unreadable journals may have been set aside)
    Unreadable,      // the newest run's journal could not be read whole: set aside at keptAs
    NothingReadable, // nothing that could be read of its damaged journal can be taken back: set aside at keptAs
    NothingToUndo,   // its run changed nothing Undo could take back: ExecuteUndo removes its journal
    Ready,           // ask with counts (and journal.damage), then ExecuteUndo
};

// The run Undo would take back now, read whole. It holds the runs' lock until it is dropped, so
// that no run changes the tree between the question and the take-back, nor while it is told.
struct PreparedUndo {
    UndoOfferState state = UndoOfferState::None;
    UndoOffer offer;            // its newer unreadable journals all set aside now
    bool newlySetAside = false; // one of them was still under its journal name
    RunJournalData journal;
    UndoCounts counts;
    std::wstring keptAs;
    UndoTarget target;
    RunLock lock;
};

// Waits for any run in progress (as AcquireRunLock), finds the newest run of the journal folder,
// sets aside the unreadable journals newer than it, and reads its journal. Changes nothing else.
PreparedUndo PrepareUndo(const std::wstring& journalFolder, const UndoTarget& target, const RunHooks& hooks);

// What Undo did: the steps undone, those not and why, whether the history file was written back
// (then target.history has been read again), and where the journal is kept when part of it could
// not be read (empty: it was removed, or stays under its own name for Undo).
struct UndoOutcome : UndoReport {
    std::wstring keptAs;
};

// Takes back a Ready run (telling hooks.changesBegin first) and removes its journal, or sets it
// aside when part of it could not be read; removes the journal of a run with nothing to undo.
UndoOutcome ExecuteUndo(PreparedUndo& undo, const RunHooks& hooks);

// The same for one journal a run takes back before it plans (TakeBackUnfinishedRuns), under the
// lock that run holds: read, taken back, then removed, or set aside when it could not be read
// whole, or kept for Undo, its header marked ended, when part of it could not be taken back.
UndoOutcome TakeBackJournal(const std::wstring& path, const UndoTarget& target);
