// The numbering history: per folder, which files were numbered, kept in StartDirectory.
#pragma once

#include "HistoryFormat.h"
#include "PathList.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

// The current directory at GUI start-up, and "StartDirectory\Nomaro.stdb".
extern std::wstring StartDirectory;
extern std::wstring HistoryFilePath;

// The history in memory; none in command-line mode.
extern std::unique_ptr<PathList> HistoryStore;
// The record of the folder being numbered.
extern PathEntry* ActiveRecord;

// The question asked before a known folder is numbered again.
extern const wchar_t kResumeQuestion[];
// Where a history file that could not be read whole is kept before it is first rewritten; when
// that name is taken, the backup takes the next free one (Nomaro.stdb.1.bak, ...).
std::wstring HistoryBackupPath();

// A record's count as the history file holds it, 0 to 4294967295. PathEntry keeps it in a signed
// field, where a damaged or edited file's count of 2^31 or more looks negative: read it through this.
// Numbers computed from it must be wide enough not to wrap.
std::uint32_t RecordCount(const PathEntry& record);

void LoadHistory();
void SaveHistory();
// Releases the records without saving them.
void ReleaseHistory();

// Finds or makes the folder's record; may ask whether to resume. Gives the exclusion list or none;
// on resuming, CurrentRun.StartNumber becomes RecordCount of the record. Only an index path of the
// program's own making in StartDirectory is opened: a record holding any other path (another
// folder, "..", a foreign name, another record's index) is given a fresh index name instead.
std::unique_ptr<PathList> BeginNumbering(HWND window, const std::wstring& folderPath);
// Rewrites the active record's index, backing up one that could not be read whole first.
void WriteNumberingIndex(PathList* exclusionList, const PathSource& numbered);

// True when entryPath (relative to the current directory, or absolute, \\?\ paths too) is one of
// the history's own files: the history file or a record's own index file, or a backup or the
// temporary file of either. Told by file identity, so that they are found also where the numbered
// tree reaches StartDirectory through a link; by the full path where a file system gives no identity.
// When StartDirectory lies inside the numbered tree, numbering them would lose the history.
bool IsHistoryDataFile(const std::wstring& entryPath);
