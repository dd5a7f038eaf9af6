// The numbering history: per folder, which files were numbered, kept in StartDirectory.
#pragma once

#include "PathList.h"

#include <windows.h>

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
// Where a history file that could not be read whole is kept before it is first rewritten.
std::wstring HistoryBackupPath();

void LoadHistory();
void SaveHistory();
// Releases the records without saving them.
void ReleaseHistory();

// Finds or makes the folder's record; may ask whether to resume. Gives the exclusion list or none.
std::unique_ptr<PathList> BeginNumbering(HWND window, const std::wstring& folderPath);
void WriteNumberingIndex(PathList* exclusionList, PathList& numberedList);

// True when entryPath, relative to the current directory, is one of the history's own files:
// the history file or a record's index file, or the backup or temporary file of either.
// When StartDirectory lies inside the numbered tree, numbering them would lose the history.
bool IsHistoryDataFile(const std::wstring& entryPath);
