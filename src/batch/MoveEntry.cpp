// Renames one entry, coping with file systems that ignore case-only renames.
#include "MoveEntry.h"

#include "RenameFailures.h"
#include "RunState.h"
#include "UniqueHandle.h"

#include <windows.h>

std::wstring::size_type LastComponentStart(const std::wstring& path)
{
    std::wstring::size_type slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? 0 : slash + 1;
}

static bool DifferOnlyInCase(const std::wstring& a, const std::wstring& b)
{
    return a != b && a.size() == b.size() &&
           CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The name the file system really gives the entry at path, or empty when it cannot be read.
static std::wstring StoredName(const std::wstring& path)
{
    WIN32_FIND_DATAW found;
    UniqueFind find(FindFirstFileW(path.c_str(), &found));
    return find ? std::wstring(found.cFileName) : std::wstring();
}

// FAT32, exFAT, some network shares and Wine report a case-only rename as done
// without applying it; going through a temporary name makes it stick.
// When even the way back fails, strandedAt tells where the entry is now.
static bool RenameThroughTemporaryName(const std::wstring& oldPath, const std::wstring& newPath, std::wstring& strandedAt)
{
    std::wstring folder = oldPath.substr(0, LastComponentStart(oldPath));
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        std::wstring temporary = folder + L"~nomaro" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                 std::to_wstring(GetTickCount() + attempt) + L".tmp";
        if (!MoveFileW(oldPath.c_str(), temporary.c_str())) {
            DWORD error = GetLastError();
            if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
                continue;
            return false;
        }
        if (MoveFileW(temporary.c_str(), newPath.c_str()))
            return true;
        if (!MoveFileW(temporary.c_str(), oldPath.c_str()))
            strandedAt = temporary;
        return false;
    }
    return false;
}

static bool RestartCanClear(DWORD error)
{
    switch (error) {
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
        return false;
    default:
        return true;
    }
}

MoveOutcome MoveEntry(const std::wstring& oldPath, const std::wstring& newPath)
{
    SetLastError(ERROR_SUCCESS);
    if (MoveFileW(oldPath.c_str(), newPath.c_str())) {
        if (!DifferOnlyInCase(oldPath, newPath))
            return MoveOutcome::Moved;
        std::wstring wanted = newPath.substr(LastComponentStart(newPath));
        std::wstring strandedAt;
        if (StoredName(newPath) == wanted || RenameThroughTemporaryName(oldPath, newPath, strandedAt))
            return MoveOutcome::Moved;
        // The user must be able to find the entry under the name it really has now.
        RecordFailedRename(strandedAt.empty() ? oldPath : oldPath + L" (now " + strandedAt + L")");
        return MoveOutcome::Failed;
    }
    DWORD error = GetLastError();
    if (RestartCanClear(error) && MoveFileExW(oldPath.c_str(), newPath.c_str(), MOVEFILE_DELAY_UNTIL_REBOOT)) {
        CurrentRun.RebootPending = true;
        return MoveOutcome::Postponed;
    }
    RecordFailedRename(oldPath);
    return MoveOutcome::Failed;
}
