// The folder of run journals: where it is, and writing, listing, reading, setting aside and
// removing journals.
#include "JournalStore.h"

#include "AsciiCase.h"
#include "DataFile.h"
#include "FileTimeTicks.h"
#include "JournalFileName.h"
#include "KnownFolder.h"
#include "PathParts.h"
#include "UniqueHandle.h"

#include <algorithm>

static constexpr wchar_t kJournalSubfolder[] = L"\\Kestrith\\Nomaro";
// Names are made from the time; a clock set back, or two runs within one millisecond, move the
// name on by a millisecond at a time until it is new.
static constexpr int kNameAttempts = 1000;
static constexpr ULONGLONG kTicksPerMillisecond = 10000;
// More set-aside copies of one journal than there could ever be; it only bounds the search.
static constexpr unsigned kSetAsideAttempts = 1000;

std::wstring UserJournalFolder()
{
    std::wstring localAppData = KnownFolderPath(FOLDERID_LocalAppData);
    return localAppData.empty() ? localAppData : localAppData + kJournalSubfolder;
}

// The names of the files in folder that fit.
template <typename Fits>
static std::vector<std::wstring> ListFiles(const std::wstring& folder, Fits fits)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    UniqueFind find(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (!find)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && fits(std::wstring_view(found.cFileName)))
            names.push_back(found.cFileName);
    } while (FindNextFileW(find.get(), &found));
    return names;
}

std::vector<std::wstring> ListJournals(const std::wstring& folder)
{
    std::vector<std::wstring> names = ListFiles(folder, [](std::wstring_view name) { return IsJournalFileName(name); });
    // All names have one length and layout, so the folded names sort as the runs began; the
    // letters around the digits may come back in any case.
    std::sort(names.begin(), names.end(), [](std::wstring a, std::wstring b) {
        LowerAscii(a);
        LowerAscii(b);
        return a > b;
    });
    return names;
}

// Makes folder and, when missing, the folder it is in.
static bool MakeFolder(const std::wstring& folder)
{
    if (CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
        return true;
    std::wstring parent(FolderPart(folder));
    if (parent.empty())
        return false;
    if (!CreateDirectoryW(parent.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    return CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// The first time worth trying: now, or just after the newest journal when the clock is behind it.
static ULONGLONG FirstNameTime(const std::vector<std::wstring>& journals)
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULONGLONG ticks = Ticks(now);
    SYSTEMTIME newest;
    FILETIME newestTime;
    if (!journals.empty() && ParseJournalFileName(journals.front(), newest) &&
        SystemTimeToFileTime(&newest, &newestTime) && Ticks(newestTime) + kTicksPerMillisecond > ticks)
        ticks = Ticks(newestTime) + kTicksPerMillisecond;
    return ticks;
}

// Takes a name that no journal has had: the file is made empty, so nobody else takes it.
static bool ReserveJournalName(const std::wstring& folder, std::wstring& path)
{
    ULONGLONG ticks = FirstNameTime(ListJournals(folder));
    for (int attempt = 0; attempt < kNameAttempts; ++attempt, ticks += kTicksPerMillisecond) {
        FILETIME time = FromTicks(ticks);
        SYSTEMTIME utc;
        if (!FileTimeToSystemTime(&time, &utc))
            return false;
        path = folder + L"\\" + JournalFileName(utc);
        UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file)
            return true;
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            return false;
    }
    return false;
}

bool WriteNewJournal(const std::wstring& folder, const std::function<bool(HANDLE file)>& write, std::wstring& path)
{
    path.clear();
    std::wstring reserved;
    if (folder.empty() || !MakeFolder(folder) || !ReserveJournalName(folder, reserved))
        return false;
    if (!ReplaceFileWith(reserved, write)) {
        DWORD error = GetLastError();
        DeleteFileW(reserved.c_str());
        // The caller tells the user why.
        SetLastError(error);
        return false;
    }
    path = reserved;
    return true;
}

UniqueFile HoldJournal(const std::wstring& path)
{
    // Held for writing too: the run writes its end through it, into the room the journal kept.
    return UniqueFile(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool JournalHeld(const std::wstring& path)
{
    // Asking to remove it is refused while a holder shares reading alone.
    UniqueFile probe(CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return !probe && GetLastError() == ERROR_SHARING_VIOLATION;
}

bool ReadJournalFile(const std::wstring& path, std::string& bytes, size_t limit)
{
    bytes.clear();
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    char chunk[64 * 1024];
    while (bytes.size() < limit) {
        DWORD wanted = static_cast<DWORD>(std::min(sizeof chunk, limit - bytes.size()));
        DWORD read = 0;
        if (!ReadFile(file.get(), chunk, wanted, &read, nullptr))
            return false;
        if (read == 0)
            break;
        bytes.append(chunk, read);
    }
    return true;
}

void PruneJournals(const std::wstring& folder, size_t kept)
{
    std::vector<std::wstring> journals = ListJournals(folder);
    for (size_t i = kept; i < journals.size(); ++i)
        DeleteFileW((folder + L"\\" + journals[i]).c_str());
}

bool RemoveJournal(const std::wstring& path)
{
    return DeleteFileW(path.c_str()) != FALSE;
}

std::vector<std::wstring> ListSetAsideJournals(const std::wstring& folder)
{
    return ListFiles(folder, [](std::wstring_view name) {
        SYSTEMTIME unused;
        return ParseSetAsideJournalName(name, unused);
    });
}

std::wstring SetAsideJournal(const std::wstring& path)
{
    std::wstring folder(FolderPart(path));
    std::wstring name(LastComponent(path));
    for (unsigned attempt = 0; attempt < kSetAsideAttempts; ++attempt) {
        std::wstring kept = folder + L"\\" + SetAsideJournalName(name, attempt);
        // Without MOVEFILE_REPLACE_EXISTING: a file of that name is never replaced.
        if (MoveFileExW(path.c_str(), kept.c_str(), 0))
            return kept;
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            break;
    }
    return path;
}
