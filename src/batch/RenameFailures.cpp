// The entries of a run that could not be renamed, reported once at its end.
#include "RenameFailures.h"

RenameFailures FailedRenames;

void RecordFailedRename(const std::wstring& path)
{
    ++FailedRenames.count;
    if (FailedRenames.firstPaths.size() < kFailuresNamed)
        FailedRenames.firstPaths.push_back(path);
}

void ClearFailedRenames()
{
    FailedRenames = RenameFailures();
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

void ReportFailedRenames(HWND owner)
{
    if (FailedRenames.count == 0)
        return;
    MessageBoxW(owner, FailedRenamesMessage(FailedRenames).c_str(), L"Nomaro", MB_ICONWARNING | MB_OK);
}
