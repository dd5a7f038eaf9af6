// Everything a run needs to know besides its folder, read once when it starts.
#pragma once

#include "OperationMode.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CompiledReplace;
struct EntryValues;
struct NumberingHistory;

struct RunOptions {
    OperationMode mode = ModeLower;
    std::wstring extensions; // ModeNumber: the extension list text ("jpg, png")
    std::wstring nameText;   // ModeNumber: the text before each number
    std::uint64_t startNumber = 0;
    std::int32_t numberWidth = 1;
    bool fillTags = false;
    // ModeFindReplace: the rule that names the entries while they are planned; kept by the caller.
    // None: every entry keeps its name.
    const CompiledReplace* replace = nullptr;
    // ModeFindReplace with tokens: what each entry's file holds (see EntryValuesSource); kept by
    // the caller. None: the values of files are lacking.
    const std::function<void(size_t, EntryValues&)>* entryValues = nullptr;
    // ModeFindReplace with a counter ({n}): the plan's indexes in the order it counts in, kept by
    // the caller (none: plan order), and whether it starts again in each folder.
    const std::vector<std::uint32_t>* counterOrder = nullptr;
    bool counterPerFolder = false;
    // Where the run's undo journal is kept: the user's journal folder, or a test's own. Empty: no
    // journal can be written, so the run changes nothing.
    std::wstring journalFolder;
    // The numbering memory, kept in the folder Nomaro started from; none on the command line,
    // which keeps no memory.
    NumberingHistory* history = nullptr;
    // Where the Favorites menu's "Order" value is kept; tests pass a key of their own.
    HKEY favoritesRoot = HKEY_CURRENT_USER;
};
