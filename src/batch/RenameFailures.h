// The entries of a run that could not be renamed, reported once at its end.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct RenameFailures {
    size_t count = 0;
    std::vector<std::wstring> firstPaths; // the first few, for the message
};

extern RenameFailures FailedRenames;

constexpr size_t kFailuresNamed = 5;

void RecordFailedRename(const std::wstring& path);
void ClearFailedRenames();
// The text that tells the user how many entries kept their names, naming the first few.
std::wstring FailedRenamesMessage(const RenameFailures& failures);
// Shows that text when the run had failures; owner may be none.
void ReportFailedRenames(HWND owner);
