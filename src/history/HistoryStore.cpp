// The numbering history: per folder, which files were numbered, kept in StartDirectory.
#include "HistoryStore.h"

std::wstring StartDirectory;
std::wstring HistoryFilePath;
std::unique_ptr<PathList> HistoryStore;
PathEntry* ActiveRecord = nullptr;

// Filled in with the numbering history.
void LoadHistory() {}
void SaveHistory() {}
void ReleaseHistory() { HistoryStore.reset(); ActiveRecord = nullptr; }
std::unique_ptr<PathList> BeginNumbering(HWND, const std::wstring&) { return nullptr; }
void WriteNumberingIndex(PathList*, PathList&) {}
