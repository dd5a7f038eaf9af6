// The journal of a run: written and made durable before the first change, so that the run
// can be taken back, even after a crash in its middle.
#pragma once

#include "JournalFormat.h"
#include "RunSteps.h"
#include "UniqueHandle.h"

#include <string>
#include <vector>

// What the journal keeps besides the steps, and where it is kept.
struct RunJournalContext {
    std::wstring historyFile;    // ModeNumber: the history file, whose bytes before the run are kept
    std::wstring indexFile;      // ModeNumber: the folder's index file, likewise (only beside the history file)
    bool favoritesOrder = false; // ModeFavorites: the Favorites menu's "Order" value, likewise
    // The folder the journals are kept in: UserJournalFolder() for the user's runs, a folder of
    // their own in tests. Empty: no journal can be written, so the run must not start.
    std::wstring journalFolder;
    HKEY favoritesRoot = HKEY_CURRENT_USER; // where the "Order" value is read; tests pass a key of their own
};

struct RunJournal {
    std::wstring path; // the journal file; empty when none was written
    UniqueFile held;   // the journal held open until it is ended (HoldJournal)
    // Why it could not be written: the system's error code, ERROR_SUCCESS when it was.
    DWORD error = ERROR_SUCCESS;
};

// Writes the journal of a run about to be applied, with the room its end will take, and makes it
// durable; false (journal.error saying why) when it could not, and then nothing may be changed.
bool BeginRunJournal(const RunPlan& plan, const RunSteps& steps, const RunJournalContext& context,
                     RunJournal& journal);
// Completes the journal with what the steps did, in the room it kept, so that a full disk cannot
// stop it. Where it cannot be completed all the same, its header alone is marked ended in place,
// so that it is never taken for a run that never ended; Undo then reads the disk. True when the
// journal was changed either way.
bool EndRunJournal(RunJournal& journal, const RunPlan& plan, const RunSteps& steps,
                   const std::vector<StepResult>& results);
// Marks the header of the begun journal at path ended, in place, a few bytes overwritten: for a
// journal that cannot be completed, or one whose run was taken back only in part. Its end stays
// unread, so that Undo reads the disk as after a crash, but it is no longer taken for a run cut
// short. False when it is not a begun journal of stepCount steps, or cannot be written.
bool MarkJournalEndedInPlace(const std::wstring& path, size_t stepCount);
// The same with the state of each tagged file after the run given: completes the begun journal
// held open, writing its end into the room it kept (JournalEndRoom) and then marking its header
// ended: until that last write a crash leaves a journal read as a run that never ended. False when
// it stays as begun.
bool CompleteJournal(HANDLE journal, const RunSteps& steps, const std::vector<StepResult>& results,
                     const std::vector<EntryAfterRun>& after);
