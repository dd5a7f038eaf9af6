// What the user is told at the end of a batch run.
#include "RunReport.h"

#include "ExtendedPath.h"
#include "Win32Text.h"

static constexpr wchar_t kRebootCaption[] = L"Reboot Required";
static constexpr wchar_t kRebootText[] = L"Some files are in use and will not be renamed until the next reboot.";
static constexpr wchar_t kFailuresCaption[] = L"Nomaro";

// The text that tells the user a path could not be used.
static std::wstring PathNotFoundMessage(const std::wstring& path)
{
    if (path.empty())
        return L"No folder was given. Nothing was changed.";
    return L"The folder \"" + path + L"\" could not be found or opened. Nothing was changed.";
}

std::wstring BatchResultMessage(BatchResult result, const std::wstring& path, DWORD journalError,
                                const std::wstring& journalFolder)
{
    switch (result) {
    case BatchResult::PathNotFound:
        return PathNotFoundMessage(path);
    case BatchResult::JournalFailed: {
        std::wstring text = L"Nomaro could not write the record it needs to undo this run, so nothing was changed.";
        if (!journalFolder.empty())
            text += L"\n\nUndo records are written to\n" + DisplayPath(journalFolder);
        if (journalError != ERROR_SUCCESS)
            text += L"\n\n" + SystemErrorText(journalError);
        return text;
    }
    case BatchResult::OutOfMemory:
        return L"There is not enough memory to plan this run, so nothing was changed.";
    case BatchResult::Completed:
        break;
    }
    return std::wstring();
}

// "3 items could not be renamed:" and the first few of them.
static std::wstring NamedFailures(const RenameFailures& failures, const wchar_t* one, const wchar_t* several)
{
    std::wstring text = failures.count == 1 ? std::wstring(one) : std::to_wstring(failures.count) + several;
    for (const std::wstring& path : failures.firstPaths)
        text += L"\n" + path;
    if (failures.count > failures.firstPaths.size())
        text += L"\n... and " + std::to_wstring(failures.count - failures.firstPaths.size()) + L" more";
    return text;
}

std::wstring FailedRenamesMessage(const RenameFailures& failures, const RenameFailures& changedInPart)
{
    std::wstring text;
    if (failures.count > 0)
        text = NamedFailures(failures, L"1 item could not be renamed:\n", L" items could not be renamed:\n");
    if (changedInPart.count > 0) {
        if (!text.empty())
            text += L"\n\n";
        text += NamedFailures(changedInPart, L"1 item was changed only in part:\n", L" items were changed only in part:\n");
    }
    return text;
}

std::wstring MemoryNotSavedMessage(DWORD error, const std::wstring& folder)
{
    return L"The files were numbered, but Nomaro could not save what it numbered in\n" + DisplayPath(folder) +
           L"\n\n" + SystemErrorText(error) +
           L"\n\nThe next run over this folder cannot continue where this one left off.";
}

void ReportRunEnd(HWND owner, const RunOutcome& outcome, const std::wstring& memoryFolder)
{
    if (outcome.RestartNeeded())
        MessageBoxW(owner, kRebootText, kRebootCaption, MB_ICONINFORMATION | MB_OK);
    if (outcome.failures.count > 0 || outcome.changedInPart.count > 0)
        MessageBoxW(owner, FailedRenamesMessage(outcome.failures, outcome.changedInPart).c_str(), kFailuresCaption,
                    MB_ICONWARNING | MB_OK);
    if (outcome.memoryError != ERROR_SUCCESS)
        MessageBoxW(owner, MemoryNotSavedMessage(outcome.memoryError, memoryFolder).c_str(), kFailuresCaption,
                    MB_ICONWARNING | MB_OK);
}
