// The numbering history: per folder, which files were numbered, kept in the start folder.
#include "HistoryStore.h"

#include "AsciiCase.h"
#include "DataFile.h"
#include "FolderWalk.h"
#include "HistoryFormat.h"
#include "IndexFileName.h"
#include "UniqueHandle.h"
#include "Win32Text.h"

const wchar_t kResumeQuestion[] = L"Would you like for Nomaro to start numbering\n"
                                  L"from where it left off the last time you used it\n"
                                  L"numbering only the newest files?";

// The records of the history file, which is made empty when it does not exist.
static void ReadHistoryFile(NumberingHistory& history)
{
    UniqueFile file(CreateFileW(history.filePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;
    std::string bytes;
    bool readWhole = ReadRestOfFile(file.get(), bytes);
    readWhole = ReadHistoryRecords(bytes, history.records) && readWhole;
    history.needsBackup = !readWhole;
}

std::unique_ptr<NumberingHistory> LoadHistory(const std::wstring& startDirectory)
{
    auto history = std::make_unique<NumberingHistory>();
    history->startDirectory = startDirectory;
    history->filePath = JoinPath(startDirectory, kHistoryFileName);
    ReadHistoryFile(*history);
    return history;
}

void ReloadHistory(NumberingHistory& history)
{
    Release(history.records);
    history.needsBackup = false;
    ReadHistoryFile(history);
}

// True while the history file is there: a history the user removed remembers nothing more.
static bool HistoryFileExists(const NumberingHistory& history)
{
    DWORD attributes = GetFileAttributesW(history.filePath.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool SaveHistory(NumberingHistory& history)
{
    if (!HistoryFileExists(history))
        return false;
    if (history.needsBackup) {
        if (!BackUpFile(history.filePath))
            return false;
        history.needsBackup = false;
    }
    return ReplaceFileContents(history.filePath, EncodeHistory(history.records));
}

std::uint32_t RecordCount(const PathEntry& record)
{
    return static_cast<std::uint32_t>(record.count);
}

// True when the record's index path is one this program made in the start folder and no earlier
// record holds it too: two folders sharing one index would overwrite each other's memory.
static bool HasOwnIndex(const NumberingHistory& history, const PathEntry& record)
{
    if (!record.secondPath || !IsOwnIndexPath(*record.secondPath, history.startDirectory))
        return false;
    for (const PathEntry* other = history.records.head; other && other != &record; other = other->next) {
        if (other->secondPath && EqualsAsciiNoCase(*other->secondPath, *record.secondPath))
            return false;
    }
    return true;
}

static std::wstring FreshIndexFileName(const NumberingHistory& history)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return NewIndexFileName(&history.records, history.startDirectory, now);
}

NumberingSession BeginNumbering(NumberingHistory& history, const std::wstring& folderPath,
                                const std::function<bool()>& askResume)
{
    NumberingSession session;
    session.folder = folderPath;
    // Only the folder's own record: one of a subfolder or of a sibling whose name begins
    // with this one would have its index overwritten with this folder's files.
    PathEntry* record = FindExact(&history.records, folderPath);
    session.record = record;
    if (!record || !HasOwnIndex(history, *record)) {
        // A new folder, or a damaged, edited or copied history or a moved program folder: the recorded
        // path may be any file of the user's, which is neither read nor written. The folder starts a
        // fresh index, whose name no file has yet, so there is nothing to resume.
        session.indexPath = FreshIndexFileName(history);
        return session;
    }
    session.indexPath = *record->secondPath;
    UniqueFile indexFile(CreateFileW(session.indexPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!indexFile || !askResume || !askResume())
        return session;
    session.exclusions = std::make_unique<PathList>();
    std::string bytes;
    bool readWhole = ReadRestOfFile(indexFile.get(), bytes);
    readWhole = ReadIndexEntries(bytes, *session.exclusions) && readWhole;
    session.indexNeedsBackup = !readWhole;
    session.resumed = true;
    // The whole count: a folder with 65536 or more numbered files goes on after the last of them.
    session.resumeAt = RecordCount(*record);
    return session;
}

// The record of a session's folder as it was, so that a memory that could not be saved leaves the
// history in memory as it found it.
struct RecordBefore {
    PathEntry* record = nullptr; // null: the folder had none, and the one appended goes again
    std::unique_ptr<std::wstring> indexPath;
    std::int32_t count = 0;
};

static RecordBefore GiveRecordItsCount(NumberingHistory& history, NumberingSession& session, std::int32_t entries)
{
    RecordBefore before;
    before.record = session.record;
    if (!session.record) {
        session.record = Append(history.records, session.folder, 0, &session.indexPath);
    } else {
        before.count = session.record->count;
        if (session.record->secondPath)
            before.indexPath = std::make_unique<std::wstring>(*session.record->secondPath);
        if (!session.record->secondPath || *session.record->secondPath != session.indexPath)
            session.record->secondPath = std::make_unique<std::wstring>(session.indexPath);
    }
    session.record->count = entries;
    return before;
}

static void TakeRecordBack(NumberingHistory& history, NumberingSession& session, RecordBefore before)
{
    if (!before.record) {
        RemoveLast(history.records);
        session.record = nullptr;
        return;
    }
    before.record->secondPath = std::move(before.indexPath);
    before.record->count = before.count;
}

// The index file as it is before the run; false when it exists but cannot be read.
static bool ReadOlderIndex(const std::wstring& path, bool& present, std::string& bytes)
{
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    present = file.valid();
    if (!present)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    return ReadRestOfFile(file.get(), bytes);
}

DWORD EndNumbering(NumberingHistory& history, NumberingSession& session, const PathSource& numbered,
                   const std::function<bool()>& placed)
{
    // A history file the user removed is memory switched off: an index no record names would only
    // be left behind.
    if (session.indexPath.empty() || !HistoryFileExists(history))
        return ERROR_SUCCESS;
    bool olderPresent = false;
    std::string olderIndex;
    if (!ReadOlderIndex(session.indexPath, olderPresent, olderIndex))
        return LastErrorOr(ERROR_READ_FAULT);
    if (session.indexNeedsBackup) {
        if (!BackUpFile(session.indexPath))
            return LastErrorOr(ERROR_WRITE_FAULT);
        session.indexNeedsBackup = false;
    }
    if (history.needsBackup) {
        if (!BackUpFile(history.filePath))
            return LastErrorOr(ERROR_WRITE_FAULT);
        history.needsBackup = false;
    }
    // Both files are written whole before either takes its place, so that a full disk leaves the
    // memory as it was and no index that no record names.
    StagedFile index(session.indexPath);
    std::int32_t entries = 0;
    if (!index.failed() && !EncodeIndex(session.exclusions.get(), numbered, entries,
                                        [&index](std::string_view piece) { return index.Write(piece); }))
        index.Fail(ERROR_WRITE_FAULT);
    if (index.Finish() != ERROR_SUCCESS)
        return index.error();
    RecordBefore before = GiveRecordItsCount(history, session, entries);
    StagedFile historyFile(history.filePath);
    historyFile.Write(EncodeHistory(history.records));
    DWORD error = historyFile.Finish();
    if (error == ERROR_SUCCESS)
        error = index.PutInPlace();
    if (error != ERROR_SUCCESS) {
        TakeRecordBack(history, session, std::move(before));
        return error;
    }
    // A run stopped here ends as a crash would, the history not yet in place.
    if (placed && !placed())
        return ERROR_SUCCESS;
    // The history last: until it is in place the older history names the older index.
    error = historyFile.PutInPlace();
    if (error != ERROR_SUCCESS) {
        if (olderPresent)
            ReplaceFileContents(session.indexPath, olderIndex);
        else
            DeleteFileW(session.indexPath.c_str());
        TakeRecordBack(history, session, std::move(before));
        return error;
    }
    if (placed)
        placed();
    return ERROR_SUCCESS;
}
