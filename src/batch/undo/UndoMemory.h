// Puts back what a run changed outside the tree: the numbering memory files and the Favorites order.
#pragma once

#include "UndoRun.h"

// The Favorites order, the history file and the folder's index file as the journal kept them.
void RestoreKeptMemory(const JournalMemory& memory, const UndoTarget& target, UndoReport& report);
