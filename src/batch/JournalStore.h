// The folder of run journals: where it is, and writing, listing, reading and removing journals.
#pragma once

#include <string>
#include <vector>

// How many runs can be taken back; older journals are removed.
constexpr size_t kKeptJournals = 10;

// The user's journal folder, %LOCALAPPDATA%\Kestrith\Nomaro; empty when Windows cannot say
// where the local application data is. It is made when the first journal is written.
std::wstring UserJournalFolder();

// Names of the journals in folder, newest first; files of other names are never listed.
std::vector<std::wstring> ListJournals(const std::wstring& folder);

// Writes bytes as a new journal in folder (made when missing), under a name that sorts after
// every journal there, and makes it durable: flushed, then moved into place with write-through.
// path receives the journal's path; false when it could not be made durable.
bool WriteNewJournal(const std::wstring& folder, const std::string& bytes, std::wstring& path);
// Replaces a journal's bytes in one step, as durably.
bool ReplaceJournal(const std::wstring& path, const std::string& bytes);
// Reads at most limit bytes of a journal from its start.
bool ReadJournalFile(const std::wstring& path, std::string& bytes, size_t limit);

// Removes the journals of folder beyond the newest kept ones.
void PruneJournals(const std::wstring& folder, size_t kept);
bool RemoveJournal(const std::wstring& path);
