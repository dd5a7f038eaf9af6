// One run of the selected operation over a folder tree: collect every entry first, then apply.
#include "BatchRun.h"

#include "AsciiCase.h"
#include "CalculatingDialog.h"
#include "CaseOperations.h"
#include "FolderWalk.h"
#include "HistoryStore.h"
#include "MessagePump.h"
#include "NumberFile.h"
#include "Progress.h"
#include "RenameFailures.h"
#include "RunState.h"
#include "Trim.h"
#include "Win32Text.h"
#include "resource.h"

#include <commctrl.h>

static constexpr wchar_t kExtensionSeparators[] = L" ,";

static void ApplyToOneEntry(const std::wstring& entryPath)
{
    if (CurrentRun.Mode == ModeReadOnly)
        ClearReadOnly(entryPath);
    else
        RenameToCase(entryPath);
}

static void Repaint(HWND window)
{
    if (window)
        InvalidateRect(window, nullptr, TRUE);
}

static void ReportEndOfRun(HWND window)
{
    if (CurrentRun.RebootPending)
        MessageBoxW(window, L"Some files are in use and will not be renamed until the next reboot.",
                    L"Reboot Required", MB_ICONINFORMATION | MB_OK);
    ReportFailedRenames(window);
}

static void ResetRunCounters()
{
    CurrentRun.RunningIndex = 0;
    CurrentRun.ProgressTotal = 0;
    CurrentRun.ProgressShown = 0;
    CurrentRun.StartNumber = 0;
}

std::wstring PathNotFoundMessage(const std::wstring& path)
{
    if (path.empty())
        return L"No folder was given. Nothing was changed.";
    return L"The folder \"" + path + L"\" could not be found or opened. Nothing was changed.";
}

// A path naming a file is one entry of its own in the case and read-only modes.
static BatchResult RunOverOneFile(HWND window, const std::wstring& path)
{
    if (CurrentRun.Mode == ModeNumber)
        return BatchResult::PathNotFound;
    CurrentRun.BatchBusy = true;
    // The bar must not show the last run's end while this one works.
    if (window) {
        SendDlgItemMessageW(window, IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        SendDlgItemMessageW(window, IDC_PROGRESS, PBM_SETPOS, 0, 0);
    }
    ApplyToOneEntry(path);
    if (window)
        SendDlgItemMessageW(window, IDC_PROGRESS, PBM_SETPOS, 100, 0);
    // Saved before the closing messages: a program ended while they are shown must not leave the
    // history's counts behind the index files already written.
    SaveHistory();
    ReportEndOfRun(window);
    CurrentRun.RebootPending = false;
    CurrentRun.BatchBusy = false;
    ResetRunCounters();
    Repaint(window);
    return BatchResult::Completed;
}

BatchResult BatchRun(HWND window, const std::wstring& folder)
{
    return BatchRun(window, folder, CurrentMode);
}

BatchResult BatchRun(HWND window, const std::wstring& folder, OperationMode mode)
{
    if (CurrentRun.BatchBusy)
        return BatchResult::Completed;
    CurrentRun.Mode = mode;
    CurrentRun.RebootPending = false;
    ClearFailedRenames();

    DWORD attributes = folder.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return BatchResult::PathNotFound;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return RunOverOneFile(window, folder);

    std::wstring savedDirectory = GetCurrentDirectoryString();
    // Walking whatever happens to be current would rename the wrong tree.
    if (!SetCurrentDirectoryW(folder.c_str()))
        return BatchResult::PathNotFound;

    CurrentRun.BatchBusy = true;
    Repaint(window);

    HWND calculating = nullptr;
    if (window) {
        calculating = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_CALCULATING), window,
                                         CalculatingDialogProc, 0);
        SendDlgItemMessageW(window, IDC_PROGRESS, PBM_SETPOS, 0, 0);
    }

    std::unique_ptr<PathList> exclusions;
    if (CurrentRun.Mode == ModeNumber)
        exclusions = BeginNumbering(window, folder);
    PumpMessages();

    PathList collected;
    CollectEntries(window, collected, exclusions.get());

    PumpMessages();
    if (calculating && IsWindow(calculating))
        SendMessageW(calculating, WM_CLOSE, 0, 0);
    PumpMessages();

    if (window)
        SendDlgItemMessageW(window, IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    ApplyEntries(window, collected, exclusions.get());

    ResetRunCounters();
    Release(collected);
    exclusions.reset();

    // Saved before the closing messages: a program ended while they are shown must not leave the
    // history's counts behind the index files already written.
    SaveHistory();
    ReportEndOfRun(window);
    SetCurrentDirectoryW(savedDirectory.c_str());

    CurrentRun.RebootPending = false;
    CurrentRun.BatchBusy = false;
    Repaint(window);
    return BatchResult::Completed;
}

void CollectEntries(HWND window, PathList& collected, PathList* exclusions)
{
    if (CurrentRun.Mode != ModeNumber)
        ++CurrentRun.ProgressTotal;

    std::wstring filter = window ? GetDlgItemTextString(window, IDC_EXT) : std::wstring();
    TrimLeading(filter, kExtensionSeparators);
    TrimTrailing(filter, kExtensionSeparators);
    if (CurrentRun.Mode != ModeNumber)
        filter.clear();

    std::wstring_view rest = filter;
    std::wstring token = SplitNextToken(rest, kExtensionSeparators);
    if (token.empty()) {
        WalkFolder(L".", collected, exclusions, nullptr);
        return;
    }
    do {
        WalkFolder(L".", collected, exclusions, &token);
        token = SplitNextToken(rest, kExtensionSeparators);
    } while (!token.empty());
}

void AddEntry(PathList& collected, PathList* exclusions, const std::wstring& entryPath)
{
    if (exclusions && Contains(exclusions, entryPath))
        return;
    Append(collected, entryPath);
    ++CurrentRun.ProgressTotal;
}

static bool ExtensionMatches(std::wstring_view name, const std::wstring& extension)
{
    std::wstring_view::size_type dot = name.find_last_of(L'.');
    return dot != std::wstring_view::npos && EqualsAsciiNoCase(name.substr(dot + 1), extension);
}

void WalkFolder(const std::wstring& folder, PathList& collected, PathList* exclusions, const std::wstring* extension)
{
    FolderWalk walk;
    walk.onFolderVisit = [](const std::wstring&, int) {
        PumpMessages();
        if (CurrentRun.Mode != ModeNumber)
            ++CurrentRun.ProgressTotal;
    };
    walk.onEntry = [&](const std::wstring& entryPath, std::wstring_view name, DWORD attributes, int) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (CurrentRun.Mode != ModeNumber)
                AddEntry(collected, exclusions, entryPath);
            return true; // descend
        }
        if (CurrentRun.Mode != ModeNumber) {
            AddEntry(collected, exclusions, entryPath);
        } else if (!(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))) {
            // A tree that holds StartDirectory must not have the history's own files renamed.
            if ((!extension || ExtensionMatches(name, *extension)) && !IsHistoryDataFile(entryPath))
                AddEntry(collected, exclusions, entryPath);
        }
        return false;
    };
    RunFolderWalk(folder, walk);
}

void ApplyEntries(HWND window, PathList& collected, PathList* exclusions)
{
    PathList numbered;
    for (PathEntry* entry = collected.head; entry; entry = entry->next) {
        if (CurrentRun.Mode == ModeNumber)
            NumberFile(window, entry->path, numbered);
        else
            ApplyToOneEntry(entry->path);
        ++CurrentRun.RunningIndex;
        std::int32_t percent = ProgressPercent(CurrentRun.RunningIndex, CurrentRun.ProgressTotal);
        if (percent > CurrentRun.ProgressShown) {
            if (window)
                SendDlgItemMessageW(window, IDC_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
            CurrentRun.ProgressShown = percent;
        }
    }
    if (CurrentRun.Mode == ModeNumber)
        WriteNumberingIndex(exclusions, numbered);
    Release(numbered);
}
