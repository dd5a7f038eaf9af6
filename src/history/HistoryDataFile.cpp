// Telling the history's own files among the entries of a run, by identity rather than spelling.
#include "HistoryStore.h"

#include "AsciiCase.h"
#include "DataFile.h"
#include "FileIdentity.h"
#include "FolderWalk.h"
#include "IndexFileName.h"
#include "PathParts.h"
#include "Win32Text.h"

// The name of the history file or of a record's index file; decided in memory, so that the
// files of a run need no look at the disk unless they are named like one of them.
static bool IsOwnFileName(const NumberingHistory& history, std::wstring_view name)
{
    if (EqualsAsciiNoCase(name, LastComponent(history.filePath)))
        return true;
    if (!IsIndexFileName(name))
        return false;
    std::wstring path = JoinPath(history.startDirectory, name);
    for (const PathEntry* record = history.records.head; record; record = record->next) {
        if (record->secondPath && EqualsAsciiNoCase(*record->secondPath, path))
            return true;
    }
    return false;
}

// The full path without a \\?\ prefix, as the history's own paths are spelled.
static std::wstring ComparablePath(const std::wstring& path)
{
    std::wstring full = GetFullPathNameString(path);
    if (full.rfind(L"\\\\?\\UNC\\", 0) == 0)
        return L"\\\\" + full.substr(8);
    if (full.rfind(L"\\\\?\\", 0) == 0)
        return full.substr(4);
    return full;
}

bool IsHistoryDataFile(const NumberingHistory& history, const std::wstring& entryPath)
{
    // A link leads to the same names: only an entry named like one of the own files, or like a
    // backup or temporary file of one, can be that file.
    std::wstring_view name = LastComponent(entryPath);
    std::wstring_view base = CompanionBase(name);
    if (!IsOwnFileName(history, base.empty() ? name : base))
        return false;
    std::wstring ownPath = JoinPath(history.startDirectory, name);
    FileIdentity entry = ReadFileIdentity(entryPath);
    FileIdentity own = ReadFileIdentity(ownPath);
    if (entry.known && own.known)
        return entry.SameAs(own);
    // Some network file systems give no file index: the spelled paths are all there is to compare.
    return EqualsAsciiNoCase(ComparablePath(entryPath), ComparablePath(ownPath));
}
