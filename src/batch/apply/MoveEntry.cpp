// Renames one entry by its exact path, coping with file systems that ignore case-only renames.
#include "MoveEntry.h"

#include "EntryState.h"
#include "PathParts.h"

std::wstring TemporaryTag()
{
    return std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount());
}

std::wstring TemporaryName(const std::wstring& tag, std::int32_t entry)
{
    return L"~nomaro-" + tag + L"-" + std::to_wstring(entry) + L".tmp";
}

CaseRenameMemory::Answer CaseRenameMemory::Lookup(DWORD volume) const
{
    auto known = applies.find(volume);
    if (volume == 0 || known == applies.end())
        return Answer::Unknown;
    return known->second ? Answer::Applied : Answer::Ignored;
}

void CaseRenameMemory::Learn(DWORD volume, bool applied)
{
    if (volume != 0)
        applies[volume] = applied;
}

static bool RestartCanClear(DWORD error)
{
    switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_ACCESS_DENIED:
    case ERROR_USER_MAPPED_FILE:
        return true;
    default:
        return false;
    }
}

static StepResult Result(StepOutcome outcome, DWORD error = ERROR_SUCCESS)
{
    StepResult result;
    result.outcome = outcome;
    result.error = error;
    return result;
}

// A failed move: postponed to the next restart when a restart can clear the reason.
static StepResult FailedMove(const std::wstring& oldPath, const std::wstring& newPath, DWORD error, ChangeWatch& watch)
{
    if (RestartCanClear(error) && MoveFileExW(oldPath.c_str(), newPath.c_str(), MOVEFILE_DELAY_UNTIL_REBOOT)) {
        watch.Made();
        return Result(StepOutcome::Postponed, error);
    }
    return Result(StepOutcome::Failed, error);
}

StepResult MoveEntry(const std::wstring& oldPath, const std::wstring& newPath, ChangeWatch& watch)
{
    if (MoveFileExW(oldPath.c_str(), newPath.c_str(), 0)) {
        watch.Made();
        return Result(StepOutcome::Done);
    }
    return FailedMove(oldPath, newPath, GetLastError(), watch);
}

// The second half of a move through a temporary name: from temporaryPath on to newPath. If that
// fails the entry goes back to oldPath, since it must not stay under the temporary name; the
// result says where it is (strandedAt) if even that fails.
static StepResult LeaveTemporaryName(const std::wstring& temporaryPath, const std::wstring& newPath, const std::wstring& oldPath,
                              ChangeWatch& watch)
{
    if (MoveFileExW(temporaryPath.c_str(), newPath.c_str(), 0)) {
        watch.Made();
        return Result(StepOutcome::Done);
    }
    StepResult result = Result(StepOutcome::Failed, GetLastError());
    // The entry must not stay under the temporary name: back to its own, tried twice, since
    // whatever blocked the way forward (a scanner opening the new file) may pass.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (MoveFileExW(temporaryPath.c_str(), oldPath.c_str(), 0)) {
            watch.Made();
            return result;
        }
        Sleep(50);
    }
    result.strandedAt = temporaryPath;
    return result;
}

StepResult MoveThroughTemporaryName(const std::wstring& oldPath, const std::wstring& newPath,
                                    const std::wstring& temporaryPath, WhenRefused refused, ChangeWatch& watch)
{
    if (!MoveFileExW(oldPath.c_str(), temporaryPath.c_str(), 0)) {
        DWORD error = GetLastError();
        if (refused == WhenRefused::PostponeToRestart)
            return FailedMove(oldPath, newPath, error, watch);
        return Result(StepOutcome::Failed, error);
    }
    if (!watch.Made()) {
        StepResult stopped = Result(StepOutcome::Failed, ERROR_OPERATION_ABORTED);
        stopped.strandedAt = temporaryPath;
        return stopped;
    }
    return LeaveTemporaryName(temporaryPath, newPath, oldPath, watch);
}

StepResult MoveEntryCaseOnly(const std::wstring& oldPath, const std::wstring& newPath, const std::wstring& temporaryPath,
                             DWORD volume, CaseRenameMemory& memory, ChangeWatch& watch)
{
    if (memory.Lookup(volume) == CaseRenameMemory::Answer::Ignored)
        return MoveThroughTemporaryName(oldPath, newPath, temporaryPath, WhenRefused::PostponeToRestart, watch);
    if (!MoveFileExW(oldPath.c_str(), newPath.c_str(), 0))
        return FailedMove(oldPath, newPath, GetLastError(), watch);
    // Reported as made even where it was ignored: the spelling on disk tells.
    if (!watch.Made())
        return Result(StepOutcome::Failed, ERROR_OPERATION_ABORTED);
    bool applied = StoredName(newPath) == LastComponent(newPath);
    memory.Learn(volume, applied);
    if (applied)
        return Result(StepOutcome::Done);
    return MoveThroughTemporaryName(oldPath, newPath, temporaryPath, WhenRefused::PostponeToRestart, watch);
}
