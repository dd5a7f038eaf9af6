// One run of the selected operation over a folder tree.
#pragma once

#include "OperationMode.h"
#include "PathList.h"

#include <windows.h>

#include <string>

enum class BatchResult {
    Completed,
    PathNotFound, // the path is empty, does not exist or cannot be opened: nothing was changed
};

// Runs the mode in CurrentMode over the tree at folder (or, in the case and read-only
// modes, over the one file it names). window is the main window, or none.
BatchResult BatchRun(HWND window, const std::wstring& folder);
// The same with the mode given: the Start command passes the mode it started with, which
// a mode radio clicked while it pumps messages must not change.
BatchResult BatchRun(HWND window, const std::wstring& folder, OperationMode mode);

void CollectEntries(HWND window, PathList& collected, PathList* exclusions);
void WalkFolder(const std::wstring& folder, PathList& collected, PathList* exclusions, const std::wstring* extension);
void AddEntry(PathList& collected, PathList* exclusions, const std::wstring& entryPath);
void ApplyEntries(HWND window, PathList& collected, PathList* exclusions);

// The text that tells the user a path could not be used.
std::wstring PathNotFoundMessage(const std::wstring& path);
