// What the benchmark programs share: making and removing scratch trees, and reading the clock
// and the memory counters.
#pragma once

#include <windows.h>

#include <string>

// Creates an empty file; false when it exists already or cannot be made.
bool MakeFile(const std::wstring& path);
// Removes a folder and everything in it.
void RemoveTree(const std::wstring& path);
double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to);
// The most memory the process has held so far.
double PeakMegabytes();

// A tree of upper-case names in which no folder holds more than 100 entries: groups of 100 folders
// of 99 files each, folders and groups counted as entries too. A flat root of thousands of folders
// would measure Wine instead: it looks up a name spelt in another case by reading the whole folder.
// Gives the number of entries made.
int MakeCaseTree(const std::wstring& root, int entries);
