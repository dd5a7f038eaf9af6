// The numbering history: per folder, which files were numbered, kept in StartDirectory.
#include "HistoryStore.h"

#include "AsciiCase.h"
#include "DataFile.h"
#include "HistoryFormat.h"
#include "IndexFileName.h"
#include "RunState.h"
#include "UniqueHandle.h"

std::wstring StartDirectory;
std::wstring HistoryFilePath;
std::unique_ptr<PathList> HistoryStore;
PathEntry* ActiveRecord = nullptr;

const wchar_t kResumeQuestion[] = L"Would you like for Nomaro to start numbering\n"
                                  L"from where it left off the last time you used it\n"
                                  L"numbering only the newest files?";
static constexpr wchar_t kResumeCaption[] = L"Nomaro";

// Set when the history file held bytes the reader could not take: the file is kept as it
// was before the first save, so that what could not be read is not lost.
static bool HistoryNeedsBackup = false;
// The same for the index file of the folder being numbered.
static bool ActiveIndexNeedsBackup = false;

std::wstring HistoryBackupPath()
{
    return HistoryFilePath + kBackupSuffix;
}

void LoadHistory()
{
    ReleaseHistory();
    HistoryStore = std::make_unique<PathList>();
    HistoryNeedsBackup = false;
    UniqueFile file(CreateFileW(HistoryFilePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;
    std::string bytes;
    bool readWhole = ReadRestOfFile(file.get(), bytes);
    readWhole = ReadHistoryRecords(bytes, *HistoryStore) && readWhole;
    HistoryNeedsBackup = !readWhole;
}

static bool IsExistingFile(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void SaveHistory()
{
    if (!HistoryStore)
        return;
    // Only into an existing file: a history file the user removed stays removed.
    if (!IsExistingFile(HistoryFilePath))
        return;
    if (HistoryNeedsBackup) {
        if (!BackUpFile(HistoryFilePath))
            return;
        HistoryNeedsBackup = false;
    }
    ReplaceFileContents(HistoryFilePath, EncodeHistory(*HistoryStore));
}

void ReleaseHistory()
{
    if (HistoryStore)
        Release(*HistoryStore);
    HistoryStore.reset();
    ActiveRecord = nullptr;
}

std::uint32_t RecordCount(const PathEntry& record)
{
    return static_cast<std::uint32_t>(record.count);
}

// True when the record's index path is one this program made in StartDirectory and no earlier
// record holds it too: two folders sharing one index would overwrite each other's memory.
static bool HasOwnIndex(const PathEntry& record)
{
    if (!HistoryStore || !record.secondPath || !IsOwnIndexPath(*record.secondPath, StartDirectory))
        return false;
    for (const PathEntry* other = HistoryStore->head; other && other != &record; other = other->next) {
        if (other->secondPath && EqualsAsciiNoCase(*other->secondPath, *record.secondPath))
            return false;
    }
    return true;
}

static std::wstring FreshIndexFileName()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return NewIndexFileName(HistoryStore.get(), StartDirectory, now);
}

static std::unique_ptr<PathList> ReadExclusions(HANDLE indexFile)
{
    auto exclusions = std::make_unique<PathList>();
    std::string bytes;
    bool readWhole = ReadRestOfFile(indexFile, bytes);
    readWhole = ReadIndexEntries(bytes, *exclusions) && readWhole;
    ActiveIndexNeedsBackup = !readWhole;
    return exclusions;
}

std::unique_ptr<PathList> BeginNumbering(HWND window, const std::wstring& folderPath)
{
    ActiveRecord = nullptr;
    ActiveIndexNeedsBackup = false;
    if (!HistoryStore)
        return nullptr;

    // Only the folder's own record: one of a subfolder or of a sibling whose name begins
    // with this one would have its index overwritten with this folder's files.
    PathEntry* record = FindExact(HistoryStore.get(), folderPath);
    if (!record) {
        std::wstring indexPath = FreshIndexFileName();
        ActiveRecord = Append(*HistoryStore, folderPath, 0, &indexPath);
        return nullptr;
    }

    ActiveRecord = record;
    if (!HasOwnIndex(*record)) {
        // A damaged, edited or copied history or a moved program folder: the recorded path may be any
        // file of the user's, which is neither read nor written. The folder starts a fresh index, whose
        // name no file has yet, so there is nothing to resume.
        record->secondPath = std::make_unique<std::wstring>(FreshIndexFileName());
        return nullptr;
    }
    UniqueFile indexFile(CreateFileW(record->secondPath->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!indexFile)
        return nullptr;
    if (MessageBoxW(window, kResumeQuestion, kResumeCaption, MB_ICONQUESTION | MB_YESNO) != IDYES)
        return nullptr;
    std::unique_ptr<PathList> exclusions = ReadExclusions(indexFile.get());
    // The whole count: a folder with 65536 or more numbered files goes on after the last of them.
    CurrentRun.StartNumber = RecordCount(*record);
    return exclusions;
}

void WriteNumberingIndex(PathList* exclusionList, const PathSource& numbered)
{
    // Only an index that BeginNumbering accepted or made: never a path that came out of a data file.
    if (!ActiveRecord || !HasOwnIndex(*ActiveRecord))
        return;
    const std::wstring& indexPath = *ActiveRecord->secondPath;
    if (ActiveIndexNeedsBackup) {
        if (!BackUpFile(indexPath))
            return;
        ActiveIndexNeedsBackup = false;
    }
    std::int32_t entries = 0;
    bool written = ReplaceFileWith(indexPath, [&](HANDLE file) {
        return EncodeIndex(exclusionList, numbered, entries,
                           [file](std::string_view piece) { return WriteAllBytes(file, piece); });
    });
    if (written)
        ActiveRecord->count = entries;
}
