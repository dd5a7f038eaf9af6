// The names of journal files: a run's journal, and a journal set aside because it could not be read.
#include "JournalFileName.h"

#include "AsciiCase.h"

static constexpr wchar_t kJournalPrefix[] = L"Run-";
static constexpr wchar_t kJournalExtension[] = L".journal";
static constexpr wchar_t kSetAsideExtension[] = L".unreadable";

static void PutDigits(std::wstring& out, unsigned value, int width)
{
    std::wstring digits = std::to_wstring(value);
    if (digits.size() < static_cast<size_t>(width))
        out.append(static_cast<size_t>(width) - digits.size(), L'0');
    out += digits;
}

std::wstring JournalFileName(const SYSTEMTIME& utc)
{
    std::wstring name = kJournalPrefix;
    PutDigits(name, utc.wYear % 10000, 4);
    PutDigits(name, utc.wMonth, 2);
    PutDigits(name, utc.wDay, 2);
    name += L'-';
    PutDigits(name, utc.wHour, 2);
    PutDigits(name, utc.wMinute, 2);
    PutDigits(name, utc.wSecond, 2);
    name += L'-';
    PutDigits(name, utc.wMilliseconds, 3);
    return name + kJournalExtension;
}

bool ParseJournalFileName(std::wstring_view name, SYSTEMTIME& utc)
{
    // "Run-" 8 digits "-" 6 digits "-" 3 digits ".journal"
    static constexpr std::wstring_view kDigitsLayout = L"YYYYMMDD-hhmmss-fff";
    std::wstring_view prefix = kJournalPrefix;
    std::wstring_view extension = kJournalExtension;
    if (name.size() != prefix.size() + kDigitsLayout.size() + extension.size() ||
        !EqualsAsciiNoCase(name.substr(0, prefix.size()), prefix) ||
        !EqualsAsciiNoCase(name.substr(name.size() - extension.size()), extension))
        return false;
    std::wstring_view middle = name.substr(prefix.size(), kDigitsLayout.size());
    unsigned fields[7] = {};
    const wchar_t kFieldLetters[] = L"YMDhmsf";
    for (size_t i = 0; i < middle.size(); ++i) {
        if (kDigitsLayout[i] == L'-') {
            if (middle[i] != L'-')
                return false;
            continue;
        }
        if (middle[i] < L'0' || middle[i] > L'9')
            return false;
        size_t field = std::wstring_view(kFieldLetters).find(kDigitsLayout[i]);
        fields[field] = fields[field] * 10 + static_cast<unsigned>(middle[i] - L'0');
    }
    utc = SYSTEMTIME{};
    utc.wYear = static_cast<WORD>(fields[0]);
    utc.wMonth = static_cast<WORD>(fields[1]);
    utc.wDay = static_cast<WORD>(fields[2]);
    utc.wHour = static_cast<WORD>(fields[3]);
    utc.wMinute = static_cast<WORD>(fields[4]);
    utc.wSecond = static_cast<WORD>(fields[5]);
    utc.wMilliseconds = static_cast<WORD>(fields[6]);
    return true;
}

bool IsJournalFileName(std::wstring_view name)
{
    SYSTEMTIME unused;
    return ParseJournalFileName(name, unused);
}

std::wstring SetAsideJournalName(std::wstring_view journalName, unsigned attempt)
{
    std::wstring name(journalName);
    if (attempt > 0)
        name += L"." + std::to_wstring(attempt);
    return name + kSetAsideExtension;
}

bool ParseSetAsideJournalName(std::wstring_view name, SYSTEMTIME& utc)
{
    std::wstring_view extension = kSetAsideExtension;
    if (name.size() <= extension.size() || !EqualsAsciiNoCase(name.substr(name.size() - extension.size()), extension))
        return false;
    name.remove_suffix(extension.size());
    // An attempt number: a dot and digits after the journal's own name.
    size_t digits = name.size();
    while (digits > 0 && name[digits - 1] >= L'0' && name[digits - 1] <= L'9')
        --digits;
    if (digits < name.size() && digits > 0 && name[digits - 1] == L'.')
        name = name.substr(0, digits - 1);
    return ParseJournalFileName(name, utc);
}
