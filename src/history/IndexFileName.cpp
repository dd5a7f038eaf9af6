// Names of the index files.
#include "IndexFileName.h"

#include "AsciiCase.h"

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
    ULARGE_INTEGER ticks;
    ticks.LowPart = asFileTime.dwLowDateTime;
    ticks.HighPart = asFileTime.dwHighDateTime;
    ticks.QuadPart += kFileTimeTicksPerSecond;
    asFileTime.dwLowDateTime = ticks.LowPart;
    asFileTime.dwHighDateTime = ticks.HighPart;
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
