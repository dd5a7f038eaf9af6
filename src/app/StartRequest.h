// What Start takes from the main window before anything runs, and the checks it makes.
#pragma once

#include "OperationMode.h"
#include "RunOptions.h"

#include <windows.h>

#include <cstdint>
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

// The main window's fields as one run takes them, each read once.
struct StartRequest {
    OperationMode mode = ModeLower;
    std::wstring folder; // the run's own copy of the chosen folder
    bool isFolder = false;
    // ModeNumber: the name and extension fields, and the parsed start number.
    std::wstring nameText;
    std::wstring extensions;
    StartNumberText number;
};

// Start's checks before anything runs: the folder line (after saving the settings), and in
// ModeNumber the name and the start number. False when the command stops; the user has been told why.
bool TakeStartRequest(HWND window, StartRequest& request);
// ModeNumber, ModeListing and ModeFindReplace work on folders only: false, after telling the user,
// for a path that is none.
bool AcceptsPath(HWND window, const StartRequest& request);
// The folder line for a command that brings its own mode and fields (Find and Replace): false,
// after telling the user, when the line is empty or the path no folder. Saves no settings.
bool TakeFolderRequest(HWND window, OperationMode mode, StartRequest& request);
// The options of the batch run the request asks for, with the user's journal folder and the
// numbering memory of this session.
RunOptions RunOptionsOf(const StartRequest& request);
