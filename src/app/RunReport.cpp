// What the user is told at the end of a batch run.
#include "RunReport.h"

static constexpr wchar_t kRebootCaption[] = L"Reboot Required";
static constexpr wchar_t kRebootText[] = L"Some files are in use and will not be renamed until the next reboot.";
static constexpr wchar_t kFailuresCaption[] = L"Nomaro";

std::wstring PathNotFoundMessage(const std::wstring& path)
{
    if (path.empty())
        return L"No folder was given. Nothing was changed.";
    return L"The folder \"" + path + L"\" could not be found or opened. Nothing was changed.";
}

std::wstring BatchResultMessage(BatchResult result, const std::wstring& path)
{
    switch (result) {
    case BatchResult::PathNotFound:
        return PathNotFoundMessage(path);
    case BatchResult::JournalFailed:
        return L"Nomaro could not write the record it needs to undo this run, so nothing was changed.";
    case BatchResult::OutOfMemory:
        return L"There is not enough memory to plan this run, so nothing was changed.";
    case BatchResult::Completed:
        break;
    }
    return std::wstring();
}

std::wstring FailedRenamesMessage(const RenameFailures& failures)
{
    std::wstring text = failures.count == 1 ? std::wstring(L"1 item could not be renamed:\n")
                                            : std::to_wstring(failures.count) + L" items could not be renamed:\n";
    for (const std::wstring& path : failures.firstPaths)
        text += L"\n" + path;
    if (failures.count > failures.firstPaths.size())
        text += L"\n... and " + std::to_wstring(failures.count - failures.firstPaths.size()) + L" more";
    return text;
}

void ReportRunEnd(HWND owner, const RunOutcome& outcome)
{
    if (outcome.RestartNeeded())
        MessageBoxW(owner, kRebootText, kRebootCaption, MB_ICONINFORMATION | MB_OK);
    if (outcome.failures.count > 0)
        MessageBoxW(owner, FailedRenamesMessage(outcome.failures).c_str(), kFailuresCaption, MB_ICONWARNING | MB_OK);
}
