// The Start button: checks the input, freezes the panel, runs the mode and reports the end.
#pragma once

#include "BatchRun.h"
#include "OperationMode.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

// False for a missing text, true for an empty one, else true when every character is 0-9.
bool IsAllDigits(const wchar_t* text);

struct StartNumberText {
    std::uint32_t startNumber = 0;
    std::int32_t numberWidth = 0;
};
// The number a numbering run starts at and how many digits it is padded to, from the
// start-number field's text (which must pass IsAllDigits).
StartNumberText ParseStartNumber(const std::wstring& digits);

// The save dialog of the listing: false when the user cancels.
bool AskListingFileName(HWND window, bool plainText, std::wstring& fileName);

// Makes the Favorites menu forget its custom order.
void ResetFavoritesOrder();

// What Start takes from the main window once its checks have passed.
struct StartRequest {
    OperationMode mode = ModeLower;
    std::wstring folder; // the run's own copy of the chosen folder
    bool isFolder = false;
};
// Start's checks before anything runs: the folder line (after saving the settings), and in
// ModeNumber the name and the start number. False when the command stops; the user has been told why.
bool TakeStartRequest(HWND window, StartRequest& request);
// ModeNumber and ModeListing work on folders only: false, after telling the user, for a path that is none.
bool AcceptsPath(HWND window, const StartRequest& request);
// True when the batch run completed; otherwise the user has been told why it changed nothing.
bool ReportRunResult(HWND window, BatchResult result, const std::wstring& folder);
// Runs work with the panel frozen as a run freezes it, then ends as Start ends: the Favorites
// order is reset and "Done!" shown only when work returns true; Start is enabled last.
void RunFrozen(HWND window, OperationMode mode, const std::function<bool()>& work);
// Runs a command of Start's kind unless one is in progress, then carries out a close that
// arrived meanwhile.
void RunExclusive(HWND window, void (*command)(HWND window));

void RunStart(HWND window);
