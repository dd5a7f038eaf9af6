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
