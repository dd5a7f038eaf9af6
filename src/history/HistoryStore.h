// The numbering history: per folder, which files were numbered, kept in the start folder.
#pragma once

#include "HistoryFormat.h"
#include "PathList.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// The history in memory: the records of "Nomaro.stdb" in the folder Nomaro started from, which
// also holds each record's index file.
struct NumberingHistory {
    std::wstring startDirectory;
    std::wstring filePath; // startDirectory\Nomaro.stdb
    PathList records;
    // The file held bytes the reader could not take: it is kept as it was before the first save,
    // as Nomaro.stdb.bak, or the first free Nomaro.stdb.N.bak, so that what could not be read is
    // not lost.
    bool needsBackup = false;
};

// The question asked before a known folder is numbered again.
extern const wchar_t kResumeQuestion[];

constexpr wchar_t kHistoryFileName[] = L"Nomaro.stdb";

// A record's count as the history file holds it, 0 to 4294967295. PathEntry keeps it in a signed
// field, where a damaged or edited file's count of 2^31 or more looks negative: read it through this.
// Numbers computed from it must be wide enough not to wrap.
std::uint32_t RecordCount(const PathEntry& record);

// Reads startDirectory\Nomaro.stdb, made empty when it does not exist.
std::unique_ptr<NumberingHistory> LoadHistory(const std::wstring& startDirectory);
// Reads the history file again, in place: it was written back by Undo.
void ReloadHistory(NumberingHistory& history);
// Rewrites the history file, only where it still exists: a history file the user removed stays
// removed. True when it was rewritten.
bool SaveHistory(NumberingHistory& history);

// What a numbering run takes from the history and gives back at its end. Nothing in the history
// changes until EndNumbering: a run that is planned and never applied leaves no trace.
struct NumberingSession {
    std::wstring folder;
    PathEntry* record = nullptr; // the folder's own record; none for a folder numbered the first time
    // The index file the run writes: the record's own, or a fresh name no file and no record has.
    std::wstring indexPath;
    // The user chose to go on where the last run left off: the files it numbered are left out and
    // numbering goes on at the record's count.
    std::unique_ptr<PathList> exclusions;
    bool resumed = false;
    std::uint32_t resumeAt = 0;
    // The index file held bytes the reader could not take: it is backed up before it is rewritten.
    bool indexNeedsBackup = false;
};

// Finds the folder's record (looking it up indexes the records; none of them changes); asks
// askResume (true for Yes) when its index can be read. Only an
// index path of the program's own making in the start folder is opened: a record holding any other
// path (another folder, "..", a foreign name, another record's index) gets a fresh index name.
NumberingSession BeginNumbering(NumberingHistory& history, const std::wstring& folderPath,
                                const std::function<bool()>& askResume);
// Saves the folder's memory all or nothing: the session's index (the excluded files, then
// numbered) and the history with the folder's record and its count (a new folder's record joins
// it now) are written whole under temporary names, then put in place, the history last; placed
// is told after each (false: stop there, as a crash would). Nothing is written once the history
// file is gone. ERROR_SUCCESS when saved (or memory is off); otherwise the system's error code,
// and the memory files and the history in memory are as they were.
DWORD EndNumbering(NumberingHistory& history, NumberingSession& session, const PathSource& numbered,
                   const std::function<bool()>& placed = {});

// True when entryPath (relative to the current directory, or absolute, \\?\ paths too) is one of
// the history's own files: the history file or a record's own index file, or a backup or the
// temporary file of either. Told by file identity, so that they are found also where the numbered
// tree reaches the start folder through a link; by the full path where a file system gives no
// identity. When the start folder lies inside the numbered tree, numbering them would lose the history.
bool IsHistoryDataFile(const NumberingHistory& history, const std::wstring& entryPath);
