// The frame every command of Start's kind shares: one at a time, the panel frozen meanwhile, and
// the same ending.
#pragma once

#include "OperationMode.h"
#include "StartRequest.h"

#include <windows.h>

#include <functional>

// Runs work with the panel frozen as a run freezes it, then ends as Start ends: the Favorites
// order is reset and "Done!" shown only when work returns true; Start is enabled last.
void RunFrozen(HWND window, OperationMode mode, const std::function<bool()>& work);
// Runs a command of Start's kind unless one is in progress, then carries out a close that
// arrived meanwhile.
void RunExclusive(HWND window, const std::function<void()>& command);

// What a command of Start's kind does with the request it took; false when it did not do what it
// was asked (the user has been told why).
using RequestedWork = bool (*)(HWND window, const StartRequest& request);
// Start's frame around work: one command at a time, the main window's fields taken and checked,
// the panel frozen, the same ending.
void RunRequested(HWND window, RequestedWork work);
