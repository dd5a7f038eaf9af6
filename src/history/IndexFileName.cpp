// Names of the index files.
#include "IndexFileName.h"

#include "AsciiCase.h"
#include "FileIdentity.h"
#include "FileTimeTicks.h"

#include <unordered_set>

static constexpr wchar_t kIndexExtension[] = L".idx";
static constexpr ULONGLONG kFileTimeTicksPerSecond = 10000000;
// Far more seconds than records could ever crowd into; it only bounds the search.
static constexpr int kMaxNameAttempts = 100000;

static void PutTwoDigits(std::wstring& out, WORD value)
{
    out.push_back(static_cast<wchar_t>(L'0' + value / 10 % 10));
    out.push_back(static_cast<wchar_t>(L'0' + value % 10));
}

std::wstring FormatIndexFileName(const std::wstring& startDirectory, const SYSTEMTIME& time)
{
    std::wstring name = startDirectory + L"\\" + std::to_wstring(time.wYear);
    PutTwoDigits(name, time.wMonth);
    PutTwoDigits(name, time.wDay);
    PutTwoDigits(name, time.wHour);
    PutTwoDigits(name, time.wMinute);
    PutTwoDigits(name, time.wSecond);
    return name + kIndexExtension;
}

static std::wstring Folded(const std::wstring& text)
{
    std::wstring key = text;
    LowerAscii(key);
    return key;
}

static bool NextSecond(SYSTEMTIME& time)
{
    FILETIME asFileTime;
    if (!SystemTimeToFileTime(&time, &asFileTime))
        return false;
    asFileTime = FromTicks(Ticks(asFileTime) + kFileTimeTicksPerSecond);
    return FileTimeToSystemTime(&asFileTime, &time) != FALSE;
}

std::wstring NewIndexFileName(const PathList* store, const std::wstring& startDirectory, SYSTEMTIME time)
{
    std::unordered_set<std::wstring> taken;
    for (const PathEntry* record = store ? store->head : nullptr; record; record = record->next) {
        if (record->secondPath)
            taken.insert(Folded(*record->secondPath));
    }
    std::wstring name = FormatIndexFileName(startDirectory, time);
    for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
        if (!taken.count(Folded(name)) && GetFileAttributesW(name.c_str()) == INVALID_FILE_ATTRIBUTES)
            return name;
        if (!NextSecond(time))
            break;
        name = FormatIndexFileName(startDirectory, time);
    }
    return name;
}

bool IsIndexFileName(std::wstring_view name)
{
    constexpr std::wstring_view extension(kIndexExtension);
    if (name.size() < extension.size() || name.substr(name.size() - extension.size()) != extension)
        return false;
    std::wstring_view digits = name.substr(0, name.size() - extension.size());
    if (digits.size() != 14 && digits.size() != 15)
        return false;
    for (wchar_t unit : digits) {
        if (unit < L'0' || unit > L'9')
            return false;
    }
    return true;
}

bool IsOwnIndexPath(const std::wstring& path, const std::wstring& startDirectory)
{
    size_t folderLength = startDirectory.size();
    if (folderLength == 0 || path.size() <= folderLength + 1 || path[folderLength] != L'\\' ||
        !IsIndexFileName(std::wstring_view(path).substr(folderLength + 1)))
        return false;
    std::wstring folder = path.substr(0, folderLength);
    if (folder == startDirectory)
        return true;
    // Started with another letter case in the start-in folder, the same folder is spelled differently;
    // whether it is the same folder only the file system can say (a case-sensitive folder may hold both).
    return EqualsAsciiNoCase(folder, startDirectory) && ReadFileIdentity(folder).SameAs(ReadFileIdentity(startDirectory));
}
