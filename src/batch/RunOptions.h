// Everything a run needs to know besides its folder, read once when it starts.
#pragma once

#include "OperationMode.h"

#include <cstdint>
#include <string>

struct RunOptions {
    OperationMode mode = ModeLower;
    std::wstring extensions; // ModeNumber: the extension list text ("jpg, png")
    std::wstring nameText;   // ModeNumber: the text before each number
    std::uint64_t startNumber = 0;
    std::int32_t numberWidth = 1;
    bool fillTags = false;
    // Where the run's undo journal is kept: the user's journal folder, or a test's own.
    std::wstring journalFolder;
};
