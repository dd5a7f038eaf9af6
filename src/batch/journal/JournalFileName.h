// The names of journal files: a run's journal, and a journal set aside because it could not be read.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// Journal file names: "Run-YYYYMMDD-hhmmss-fff.journal", UTC, so that names sort as runs began.
std::wstring JournalFileName(const SYSTEMTIME& utc);
// The time a journal name was made from; false for a name that is not a journal's.
bool ParseJournalFileName(std::wstring_view name, SYSTEMTIME& utc);
bool IsJournalFileName(std::wstring_view name);

// A journal that could not be read is kept as "<journal name>.unreadable" beside the others; when
// that name is taken, "<journal name>.1.unreadable", ".2.unreadable" and so on (attempt 0, 1, 2, ...).
std::wstring SetAsideJournalName(std::wstring_view journalName, unsigned attempt);
// The time of the run whose journal a set-aside name keeps; false for any other name.
bool ParseSetAsideJournalName(std::wstring_view name, SYSTEMTIME& utc);
