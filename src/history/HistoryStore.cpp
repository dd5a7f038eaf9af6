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
static constexpr wchar_t kBackupSuffix[] = L".bak";

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
        if (!CopyFileW(HistoryFilePath.c_str(), HistoryBackupPath().c_str(), FALSE))
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

// A drive path (C:\...) or a network path (\\server\...), as StartDirectory always is.
static bool IsAbsolutePath(const std::wstring& path)
{
    bool drive = path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
    bool network = path.size() >= 3 && path[0] == L'\\' && path[1] == L'\\';
    return drive || network;
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
        SYSTEMTIME now;
        GetLocalTime(&now);
        std::wstring indexPath = NewIndexFileName(HistoryStore.get(), StartDirectory, now);
        ActiveRecord = Append(*HistoryStore, folderPath, 0, &indexPath);
        return nullptr;
    }

    ActiveRecord = record;
    if (!record->secondPath)
        return nullptr;
    if (!IsAbsolutePath(*record->secondPath)) {
        // Only a damaged history holds such a name; writing to it would land among the user's own
        // files in the folder being numbered. The folder starts a fresh index instead.
        SYSTEMTIME now;
        GetLocalTime(&now);
        *record->secondPath = NewIndexFileName(HistoryStore.get(), StartDirectory, now);
    }
    UniqueFile indexFile(CreateFileW(record->secondPath->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!indexFile)
        return nullptr;
    if (MessageBoxW(window, kResumeQuestion, kResumeCaption, MB_ICONQUESTION | MB_YESNO) != IDYES)
        return nullptr;
    std::unique_ptr<PathList> exclusions = ReadExclusions(indexFile.get());
    // The whole count: a folder with 65536 or more numbered files goes on after the last of them.
    CurrentRun.StartNumber = static_cast<std::uint32_t>(record->count);
    return exclusions;
}

void WriteNumberingIndex(PathList* exclusionList, PathList& numberedList)
{
    if (!ActiveRecord || !ActiveRecord->secondPath)
        return;
    const std::wstring& indexPath = *ActiveRecord->secondPath;
    if (ActiveIndexNeedsBackup) {
        if (!CopyFileW(indexPath.c_str(), (indexPath + kBackupSuffix).c_str(), FALSE))
            return;
        ActiveIndexNeedsBackup = false;
    }
    std::int32_t entries = 0;
    std::string bytes = EncodeIndex(exclusionList, numberedList, entries);
    if (ReplaceFileContents(indexPath, bytes))
        ActiveRecord->count = entries;
}

static bool EndsWithAsciiNoCase(std::wstring_view text, std::wstring_view tail)
{
    return text.size() >= tail.size() && EqualsAsciiNoCase(text.substr(text.size() - tail.size()), tail);
}

static std::wstring FullPath(const std::wstring& path)
{
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0)
            return path;
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        full.resize(length);
    }
}

// The file itself, or its backup or temporary file.
static bool IsFileOrCompanion(const std::wstring& fullPath, const std::wstring& file)
{
    std::wstring fullFile = FullPath(file);
    return EqualsAsciiNoCase(fullPath, fullFile) || EqualsAsciiNoCase(fullPath, fullFile + kBackupSuffix) ||
           EqualsAsciiNoCase(fullPath, fullFile + kTemporarySuffix);
}

bool IsHistoryDataFile(const std::wstring& entryPath)
{
    if (!HistoryStore)
        return false;
    // Most files are ruled out by their name alone, without a look at the disk.
    std::wstring_view name(entryPath);
    std::wstring_view::size_type slash = name.find_last_of(L'\\');
    if (slash != std::wstring_view::npos)
        name.remove_prefix(slash + 1);
    if (EndsWithAsciiNoCase(name, kBackupSuffix))
        name.remove_suffix(4);
    else if (EndsWithAsciiNoCase(name, kTemporarySuffix))
        name.remove_suffix(4);
    if (!EndsWithAsciiNoCase(name, L".stdb") && !EndsWithAsciiNoCase(name, L".idx"))
        return false;

    std::wstring fullPath = FullPath(entryPath);
    if (IsFileOrCompanion(fullPath, HistoryFilePath))
        return true;
    for (const PathEntry* record = HistoryStore->head; record; record = record->next) {
        if (record->secondPath && IsFileOrCompanion(fullPath, *record->secondPath))
            return true;
    }
    return false;
}
