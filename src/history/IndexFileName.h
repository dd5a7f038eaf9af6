// Names of the index files: StartDirectory, a backslash, the local date and time as
// YYYYMMDDhhmmss and ".idx".
#pragma once

#include "PathList.h"

#include <windows.h>

#include <string>

std::wstring FormatIndexFileName(const std::wstring& startDirectory, const SYSTEMTIME& time);

// The name for the given time, or for the first later second whose name neither another
// record of store uses nor an existing file has, so two folders never share an index.
std::wstring NewIndexFileName(const PathList* store, const std::wstring& startDirectory, SYSTEMTIME time);
