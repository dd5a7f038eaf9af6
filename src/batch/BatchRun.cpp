// One run of the selected operation over a folder tree: collect, plan, apply, record.
#include "BatchRun.h"

#include "ApplyRunSteps.h"
#include "CalculatingDialog.h"
#include "CollectEntries.h"
#include "ExtendedPath.h"
#include "HistoryStore.h"
#include "JournalStore.h"
#include "MessagePump.h"
#include "NumberFile.h"
#include "PlanRun.h"
#include "Progress.h"
#include "ProgressFrames.h"
#include "RenameFailures.h"
#include "RunJournal.h"
#include "RunState.h"
#include "Settings.h"
#include "Win32Text.h"
#include "resource.h"

#include <commctrl.h>

static void Repaint(HWND window)
{
    if (window)
        InvalidateRect(window, nullptr, TRUE);
}

static HWND ProgressBarOf(HWND window)
{
    return window ? GetDlgItem(window, IDC_PROGRESS) : nullptr;
}

static void SetProgress(HWND bar, std::int32_t percent)
{
    if (bar)
        SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
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

std::wstring BatchResultMessage(BatchResult result, const std::wstring& path)
{
    switch (result) {
    case BatchResult::PathNotFound:
        return PathNotFoundMessage(path);
    case BatchResult::JournalFailed:
        return L"Nomaro could not write the record it needs to undo this run, so nothing was changed.";
    default:
        return std::wstring();
    }
}

RunOptions ReadRunOptions(HWND window, OperationMode mode)
{
    RunOptions options;
    options.mode = mode;
    if (window && mode == ModeNumber) {
        options.extensions = GetDlgItemTextString(window, IDC_EXT);
        options.nameText = GetDlgItemTextString(window, IDC_NAME);
    }
    options.startNumber = CurrentRun.StartNumber;
    options.numberWidth = CurrentRun.NumberWidth;
    options.fillTags = Settings.FillTags;
    options.journalFolder = UserJournalFolder();
    return options;
}

// Collection with the "Calculating..." box shown and the numbering history brought in.
static CollectedTree CollectTree(HWND window, const std::wstring& folder, const std::wstring& root, PreparedRun& run)
{
    HWND calculating = nullptr;
    if (window) {
        calculating = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_CALCULATING), window,
                                         CalculatingDialogProc, 0);
        // Painted now: collection pumps only between folders, and a box shown unpainted is a black hole.
        if (calculating)
            UpdateWindow(calculating);
        SetProgress(ProgressBarOf(window), 0);
    }
    if (run.options.mode == ModeNumber) {
        std::uint32_t typedStart = CurrentRun.StartNumber;
        run.exclusions = BeginNumbering(window, folder);
        // A resumed folder goes on after the files numbered before. The plan carries that number,
        // so a preview closed without applying it leaves the typed start as it was.
        if (run.exclusions)
            run.options.startNumber = CurrentRun.StartNumber;
        CurrentRun.StartNumber = typedStart;
    }
    PumpMessages();
    CollectedTree tree = CollectEntries(root, run.options, run.exclusions.get(), window != nullptr);
    PumpMessages();
    if (calculating && IsWindow(calculating))
        SendMessageW(calculating, WM_CLOSE, 0, 0);
    PumpMessages();
    return tree;
}

BatchResult PrepareRun(HWND window, const std::wstring& folder, const RunOptions& options, PreparedRun& run)
{
    if (CurrentRun.BatchBusy)
        return BatchResult::Completed;
    run = PreparedRun();
    run.options = options;
    if (folder.empty())
        return BatchResult::PathNotFound;
    // Every entry is reached by its exact name: trailing dots and blanks, device names, any length.
    std::wstring root = ExtendedLengthPath(folder);
    DWORD attributes = GetFileAttributesW(root.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return BatchResult::PathNotFound;

    CollectedTree tree;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        // A path naming a file is one entry of its own in the case and read-only modes.
        if (options.mode == ModeNumber)
            return BatchResult::PathNotFound;
        tree = CollectOneFile(root);
    } else {
        CurrentRun.BatchBusy = true;
        Repaint(window);
        tree = CollectTree(window, folder, root, run);
        CurrentRun.BatchBusy = false;
    }
    run.plan = PlanRun(std::move(tree), run.options);
    return BatchResult::Completed;
}

static std::wstring TemporaryTag()
{
    return std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount());
}

static RunJournalContext JournalContext(const RunOptions& options, const RunPlan& plan)
{
    RunJournalContext context;
    context.journalFolder = options.journalFolder;
    if (plan.mode == ModeNumber && HistoryStore) {
        context.historyFile = HistoryFilePath;
        if (ActiveRecord && ActiveRecord->secondPath)
            context.indexFile = *ActiveRecord->secondPath;
    }
    context.favoritesOrder = plan.mode == ModeFavorites;
    return context;
}

// The index keeps every number the run used up, also for a file that kept its name.
static void RecordNumbering(const PreparedRun& run)
{
    WriteNumberingIndex(run.exclusions.get(), [&run](const std::function<void(std::wstring_view)>& put) {
        std::wstring path;
        for (const PlannedEntry& entry : run.plan.entries) {
            std::wstring_view folderPart = std::wstring_view(entry.path).substr(0, entry.path.size() - entry.Name().size());
            path.assign(folderPart);
            if (entry.Renames() || entry.status == PlanStatus::CannotChange)
                path += entry.newName;
            else
                path += NumberedName(entry.Name(), NumberedBaseName(run.options.nameText, entry.number,
                                                                   run.options.numberWidth))
                            .newName;
            put(path);
        }
    });
}

static std::vector<StepResult> ApplyWithProgress(HWND window, const RunPlan& plan, const RunSteps& steps)
{
    CurrentRun.ProgressTotal = plan.progressTotal;
    CaseRenameMemory memory;
    // Found once: under Wine each look-up of a child window is a call to the server.
    HWND bar = ProgressBarOf(window);
    ProgressFrames frames(bar);
    return ApplyRunSteps(plan, steps, memory, [bar, &frames](std::int32_t entriesDone) {
        CurrentRun.RunningIndex = entriesDone;
        std::int32_t percent = ProgressPercent(CurrentRun.RunningIndex, CurrentRun.ProgressTotal);
        if (percent > CurrentRun.ProgressShown) {
            SetProgress(bar, percent);
            CurrentRun.ProgressShown = percent;
            frames.Moved();
        }
    });
}

// The seconds from start to now, added to total when there is one.
static void AddSecondsSince(const LARGE_INTEGER& start, double* total)
{
    if (!total)
        return;
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    *total += static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

BatchResult ExecuteRun(HWND window, PreparedRun& run, RunTimings* timings)
{
    double* journalSeconds = timings ? &timings->journalSeconds : nullptr;
    LARGE_INTEGER journalStart;
    if (CurrentRun.BatchBusy)
        return BatchResult::Completed;
    CurrentRun.BatchBusy = true;
    Repaint(window);
    if (window) {
        HWND bar = ProgressBarOf(window);
        SendMessageW(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        SetProgress(bar, 0);
    }

    RunSteps steps = OrderRunSteps(run.plan, TemporaryTag());
    RunJournal journal;
    QueryPerformanceCounter(&journalStart);
    bool journaled = BeginRunJournal(run.plan, steps, JournalContext(run.options, run.plan), journal);
    AddSecondsSince(journalStart, journalSeconds);
    if (!journaled) {
        CurrentRun.BatchBusy = false;
        ResetRunCounters();
        Repaint(window);
        return BatchResult::JournalFailed;
    }
    std::vector<StepResult> results = ApplyWithProgress(window, run.plan, steps);
    if (run.plan.mode == ModeNumber)
        RecordNumbering(run);
    QueryPerformanceCounter(&journalStart);
    EndRunJournal(journal, run.plan, steps, results);
    AddSecondsSince(journalStart, journalSeconds);
    ResetRunCounters();

    // Saved before the closing messages: a program ended while they are shown must not leave the
    // history's counts behind the index files already written.
    SaveHistory();
    CurrentRun.RebootPending = AnyPostponed(results);
    if (CurrentRun.RebootPending)
        MessageBoxW(window, L"Some files are in use and will not be renamed until the next reboot.", L"Reboot Required",
                    MB_ICONINFORMATION | MB_OK);
    ReportFailedRenames(window, FailuresOfRun(run.plan, steps, results));

    CurrentRun.RebootPending = false;
    CurrentRun.BatchBusy = false;
    Repaint(window);
    return BatchResult::Completed;
}

BatchResult BatchRun(HWND window, const std::wstring& folder, const RunOptions& options, RunTimings* timings)
{
    PreparedRun run;
    BatchResult prepared = PrepareRun(window, folder, options, run);
    if (prepared != BatchResult::Completed)
        return prepared;
    return ExecuteRun(window, run, timings);
}

BatchResult BatchRun(HWND window, const std::wstring& folder, OperationMode mode)
{
    return BatchRun(window, folder, ReadRunOptions(window, mode));
}

BatchResult BatchRun(HWND window, const std::wstring& folder)
{
    return BatchRun(window, folder, CurrentMode);
}
