// Runs that never ended: a process that ended in the middle of a run (a crash, a power cut) left
// its tree part changed, an entry perhaps under a temporary name, and its journal as begun.
#pragma once

#include "RunHooks.h"
#include "UndoRun.h"

#include <string>

// Before a run over root plans, takes back every run over the same tree (root, a folder in it or
// one holding it) that never ended and that no run since has ended over it, newest first, as
// Undo does after a crash; then the run plans from the names the tree had, and completes what the
// cut run began. hooks.askTakeBackUnfinished (empty: yes) is asked once, with the first such run's
// root, before anything is taken back; no leaves every journal as it is, for Undo. A journal taken
// back is removed; one taken back only in part stays for Undo, its header marked ended; one that
// could not be read whole is set aside; either is told to hooks.tookBackInPart (TakeBackJournal).
// True when the history file was written back (target.history has then been read again).
bool TakeBackUnfinishedRuns(const std::wstring& journalFolder, const std::wstring& root, const UndoTarget& target,
                            const RunHooks& hooks);
