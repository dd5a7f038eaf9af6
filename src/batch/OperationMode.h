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
};

// True for the numbers above: a stored mode or one read from a journal may be anything.
bool IsOperationMode(unsigned value);
