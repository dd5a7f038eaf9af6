// The folder of run journals: where it is, and writing, listing, reading, setting aside and
// removing journals.
#pragma once

#include "UniqueHandle.h"

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// How many runs can be taken back; older journals are removed.
constexpr size_t kKeptJournals = 10;

// The user's journal folder, %LOCALAPPDATA%\Kestrith\Nomaro; empty when Windows cannot say
// where the local application data is. It is made when the first journal is written.
std::wstring UserJournalFolder();

// Names of the journals in folder, newest first; files of other names are never listed.
std::vector<std::wstring> ListJournals(const std::wstring& folder);

// Writes a new journal in folder (made when missing), as ReplaceFileWith writes a file, under a
// name that sorts after every journal there; path receives the journal's path. False, with the system's
// error code as the last error, when it could not be written.
bool WriteNewJournal(const std::wstring& folder, const std::function<bool(HANDLE file)>& write, std::wstring& path);
// A run holds its journal open from its beginning until it ends it, so that a run in progress (in
// another logon session of the same user, which the run lock does not reach) is never taken for
// one cut short: the holder denies others the right to change or remove the file, and a process
// that ends lets go. The holder may write: the run ends its journal through it.
UniqueFile HoldJournal(const std::wstring& path);
// True when a run in progress holds the journal at path.
bool JournalHeld(const std::wstring& path);
// Reads at most limit bytes of a journal from its start.
bool ReadJournalFile(const std::wstring& path, std::string& bytes, size_t limit);

// Names of the journals set aside in folder because they could not be read, in no order. They
// are never pruned: they are what is left of a run that could not be undone.
std::vector<std::wstring> ListSetAsideJournals(const std::wstring& folder);
// Keeps the journal at path beside it under the first free set-aside name (JournalFileName.h),
// never replacing a file; returns where it is now (path itself when it could not be moved).
std::wstring SetAsideJournal(const std::wstring& path);

// Removes the journals of folder beyond the newest kept ones; set-aside journals stay.
void PruneJournals(const std::wstring& folder, size_t kept);
bool RemoveJournal(const std::wstring& path);
