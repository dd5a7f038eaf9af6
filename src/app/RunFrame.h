// The frame every command of Start's kind shares: one at a time, the panel frozen meanwhile, and
// the same ending.
#pragma once

#include "OperationMode.h"

#include <windows.h>

#include <functional>

// Runs work with the panel frozen as a run freezes it, then ends as Start ends: the Favorites
// order is reset and "Done!" shown only when work returns true; Start is enabled last.
void RunFrozen(HWND window, OperationMode mode, const std::function<bool()>& work);
// Runs a command of Start's kind unless one is in progress, then carries out a close that
// arrived meanwhile.
void RunExclusive(HWND window, void (*command)(HWND window));
