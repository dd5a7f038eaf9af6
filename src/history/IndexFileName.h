// Names of the index files: StartDirectory, a backslash, the local date and time as
// YYYYMMDDhhmmss and ".idx".
#pragma once

#include "PathList.h"

#include <windows.h>

#include <string>
#include <string_view>

std::wstring FormatIndexFileName(const std::wstring& startDirectory, const SYSTEMTIME& time);

// The name for the given time, or for the first later second whose name neither another
// record of store uses nor an existing file has, so two folders never share an index.
std::wstring NewIndexFileName(const PathList* store, const std::wstring& startDirectory, SYSTEMTIME time);

// True for a name that FormatIndexFileName makes: 14 or 15 digits (SYSTEMTIME years run from 1601
// to 30827) and ".idx".
bool IsIndexFileName(std::wstring_view name);
// True for startDirectory, a backslash and such a name: the only index paths the history opens.
// Any other path in a record (another folder, "..", a name the program never makes) may be a user's file.
bool IsOwnIndexPath(const std::wstring& path, const std::wstring& startDirectory);
