// The rules that enable, disable and check the main window's controls per mode and per run.
#pragma once

#include "OperationMode.h"

#include <windows.h>

#include <string>

// The user's Favorites folder as the shell reports it now; empty when it has none.
std::wstring FavoritesFolderPath();

void EnableNumberingGroup(HWND window, bool enable);
void EnableListingGroup(HWND window, bool enable);

// Enables Start unless a Start is in progress: runs never overlap.
void EnableStartIfIdle(HWND window);

// The mode command: field groups, the Favorites folder, Start, the focus, CurrentMode.
void SetModeControls(HWND window, OperationMode mode);
// The stored "Function" at window creation: checks that mode's radio; any other value checks none.
void ApplyStoredMode(HWND window, DWORD function);

// What a run freezes while it works, and what it gives back when it ends (Start excepted).
void DisableRunSet(HWND window);
void EnableRunSetAfterRun(HWND window);
