// The operation a run performs.
#pragma once

#include <cstdint>

enum OperationMode : std::uint8_t {
    ModeLower = 0,
    ModeUpper = 1,
    ModeFavorites = 2,
    ModeNumber = 3,
    ModeListing = 5,
    ModeReadOnly = 6,
    ModeFindReplace = 7, // File > Find and Replace...: a run of its own, never a mode of the panel
};

// True for the numbers above: a mode read from a journal may be anything.
bool IsOperationMode(unsigned value);
// True for the modes the main window's radios offer: the stored "Function" may select only these.
bool IsPanelMode(unsigned value);
