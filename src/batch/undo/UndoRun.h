// Takes back a journaled run, newest step first, wherever the disk still shows what the run left:
// names, renames waiting for the restart, tags, read-only marks, the numbering memory and the
// Favorites order.
#pragma once

#include "JournalFormat.h"
#include "PendingRenames.h"
#include "UndoOffer.h"

#include <windows.h>

#include <string>
#include <vector>

struct NumberingHistory;

// What a journal says can be taken back; for a run that never ended, what it may have done.
struct UndoCounts {
    size_t renamed = 0; // entries
    size_t tags = 0;
    size_t readOnlyMarks = 0;
    bool memoryFiles = false;
    bool favoritesOrder = false;
    bool Any() const { return renamed || tags || readOnlyMarks || memoryFiles || favoritesOrder; }
};
UndoCounts CountUndo(const RunJournalData& journal);

// Where the things outside the tree are for this program now.
struct UndoTarget {
    // This program's history file. The memory files are written back only here and beside it,
    // never to a path the journal names.
    std::wstring historyFile;
    // The history in memory whose file that is, if any: read again when Undo writes the file back.
    NumberingHistory* history = nullptr;
    HKEY favoritesRoot = HKEY_CURRENT_USER;
    // The system's list of renames waiting for the restart; tests pass a key of their own.
    HKEY pendingRenamesRoot = HKEY_LOCAL_MACHINE;
    std::wstring pendingRenamesKey = kSessionManagerKey;
};

enum class UndoItem : std::uint8_t { Entry, HistoryFile, IndexFile, FavoritesOrder };
enum class UndoSkip : std::uint8_t {
    Missing,         // no longer where the run left it
    Changed,         // its size or last-write time changed since the run
    OldNameTaken,    // another entry has its old name now
    AwaitingRestart, // its rename stays registered for the next restart, which will make it; error says why
    NotKept,         // its bytes before the run could not be read then
    Elsewhere,       // a memory file that is not where this program keeps its memory now
    Failed,          // the file system refused; error says why
};
struct UndoProblem {
    UndoItem item = UndoItem::Entry;
    std::wstring path; // the entry or file, \\?\ form for entries
    UndoSkip reason = UndoSkip::Failed;
    DWORD error = ERROR_SUCCESS;
};
struct UndoReport {
    size_t undone = 0; // steps, cancelled restart renames, memory files and the Favorites order put back
    std::vector<UndoProblem> notUndone;
    bool historyRestored = false; // the history file was written back: reload it
};

UndoReport UndoJournal(const RunJournalData& journal, const UndoTarget& target);
