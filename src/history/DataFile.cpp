// Whole-file reading, crash-safe replacement and backups of the history's own files.
#include "DataFile.h"

#include "AsciiCase.h"
#include "UniqueHandle.h"

#include <algorithm>

bool ReadRestOfFile(HANDLE file, std::string& bytes)
{
    char chunk[64 * 1024];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, chunk, sizeof chunk, &read, nullptr))
            return false;
        if (read == 0)
            return true;
        bytes.append(chunk, read);
    }
}

bool WriteAllBytes(HANDLE file, std::string_view bytes)
{
    while (!bytes.empty()) {
        DWORD piece = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1 << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), piece, &written, nullptr) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

bool ReplaceFileWith(const std::wstring& path, const std::function<bool(HANDLE file)>& write)
{
    StagedFile staged(path);
    if (!staged.failed() && !write(staged.file()))
        staged.Fail(GetLastError());
    DWORD error = staged.PutInPlace();
    SetLastError(error);
    return error == ERROR_SUCCESS;
}

bool ReplaceFileContents(const std::wstring& path, const std::string& bytes)
{
    return ReplaceFileWith(path, [&bytes](HANDLE file) { return WriteAllBytes(file, bytes); });
}

// Far more backups than a history ever makes; it only bounds the search for a free name.
static constexpr int kMaxBackupNumber = 9999;

bool BackUpFile(const std::wstring& path)
{
    for (int number = 0; number <= kMaxBackupNumber; ++number) {
        std::wstring backup = number == 0 ? path + kBackupSuffix : path + L"." + std::to_wstring(number) + kBackupSuffix;
        // Failing when the name exists, instead of testing first, leaves no moment in which
        // another file could appear under the name and be replaced.
        if (CopyFileW(path.c_str(), backup.c_str(), TRUE))
            return true;
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            return false;
    }
    return false;
}

static bool EndsWithAsciiNoCase(std::wstring_view text, std::wstring_view tail)
{
    return text.size() >= tail.size() && EqualsAsciiNoCase(text.substr(text.size() - tail.size()), tail);
}

std::wstring_view CompanionBase(std::wstring_view name)
{
    constexpr std::wstring_view temporary(kTemporarySuffix);
    constexpr std::wstring_view backup(kBackupSuffix);
    bool isTemporary = EndsWithAsciiNoCase(name, temporary);
    if (!isTemporary && !EndsWithAsciiNoCase(name, backup))
        return {};
    name.remove_suffix(isTemporary ? temporary.size() : backup.size());
    std::wstring_view::size_type dot = name.find_last_of(L'.');
    if (dot == std::wstring_view::npos || dot + 1 == name.size())
        return name;
    std::wstring_view number = name.substr(dot + 1);
    bool digits = std::all_of(number.begin(), number.end(), [](wchar_t unit) { return unit >= L'0' && unit <= L'9'; });
    return digits ? name.substr(0, dot) : name;
}
