// Which run Undo would take back now: the newest journal that can be read, with the newer ones
// that could not be, and reading that journal whole.
#pragma once

#include "JournalFormat.h"

#include <windows.h>

#include <string>
#include <vector>

// A journal whose header cannot be read: kept as evidence, never offered.
struct UnreadableJournal {
    std::wstring path;
    FILETIME time{};       // when its run began, UTC, as its name says
    bool setAside = false; // already under a set-aside name; otherwise still under its journal name
};

// The run Undo would take back now.
struct UndoOffer {
    std::wstring journalPath; // empty: nothing to undo
    JournalHeader header;
    // The journals that could not be read and are newer than the offered run (all of them when
    // none is offered), newest first. An empty journal is not among them: its run never began.
    std::vector<UnreadableJournal> unreadable;
};
UndoOffer FindUndoOffer(const std::wstring& journalFolder);

// Reads a whole journal; false when its header cannot be read. What else could not be read is
// left out and counted in journal.damage.
bool LoadJournal(const std::wstring& journalPath, RunJournalData& journal);
