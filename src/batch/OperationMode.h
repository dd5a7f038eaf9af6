// The operation a run performs, and the mode in force in the main window.
#pragma once

#include <cstdint>

enum OperationMode : std::uint8_t {
    ModeLower = 0,
    ModeUpper = 1,
    ModeFavorites = 2,
    ModeNumber = 3,
    ModeListing = 5,
    ModeReadOnly = 6,
};

// The mode chosen in the main window; a run takes its own copy when it starts.
extern OperationMode CurrentMode;

bool IsOperationMode(unsigned value);
