// Times one run of Nomaro's real engine, as the main window starts it: a window with the progress
// bar is present, the "Calculating..." box shows, the numbering history is loaded.
//   engine_bench lower ROOT                    lower-case without a window, as the command line runs it
//   engine_bench lower-journal ROOT            plan a Lower run and time only writing and completing its
//                                              journal, as if every step was done; changes nothing (the
//                                              command-line run cannot be timed from inside)
//   engine_bench upper|readonly ROOT           BatchRun in that mode
//   engine_bench number ROOT STATE --name=A [--width=6]
//                                              fresh numbering, with an empty history in STATE
//   engine_bench resumed ROOT STATE --name=Trip [--width=6]
//                                              numbering resumed from STATE's history, answered Yes
//   engine_bench preview ROOT                  PrepareRun in ModeLower: collect and plan, change nothing
//   engine_bench preview-dialog ROOT           the same, then the Preview dialog until it has shown its rows
//   engine_bench listing-plain|listing-rtf ROOT OUTPUT
//                                              WriteListingFile
// Prints one "result" line (seconds of the run, peak working set, seconds spent on the journal)
// and one "progress" line (the messages the progress bar received).
#include "BatchRun.h"
#include "FileListing.h"
#include "HistoryStore.h"
#include "JournalStore.h"
#include "MessagePump.h"
#include "PreviewDialog.h"
#include "RunJournal.h"
#include "RunReport.h"
#include "WindowRun.h"
#include "resource.h"

#include "BenchSupport.h"

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <cstdio>
#include <cwchar>
#include <string>
#include <thread>

namespace {

constexpr wchar_t kWindowClass[] = L"NomaroBench_Main";

WNDPROC ProgressProcedure = nullptr;
long ProgressMessages = 0;

LRESULT CALLBACK CountingProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (message == PBM_SETPOS)
        ++ProgressMessages;
    return CallWindowProcW(ProgressProcedure, window, message, wParam, lParam);
}

// A stand-in for the main window: what the run reaches of it is the progress bar.
HWND CreateBenchWindow()
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, kWindowClass, L"Nomaro bench", WS_OVERLAPPEDWINDOW, 100, 100, 520, 400, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    HWND progress = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 20, 320, 460, 18, window,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PROGRESS)), GetModuleHandleW(nullptr),
                                    nullptr);
    ProgressProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(progress, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProgressProc)));
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    PumpMessages();
    return window;
}

// Answers the resume question Yes the moment it is shown, as a user who knows the answer would,
// so that no waiting for the answer is timed.
LRESULT CALLBACK AnswerYesProc(int code, WPARAM wParam, LPARAM lParam) noexcept
{
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        wchar_t className[16] = L"";
        GetClassNameW(box, className, 16);
        if (wcscmp(className, L"#32770") == 0 && GetDlgItem(box, IDYES))
            PostMessageW(box, WM_COMMAND, IDYES, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::unique_ptr<NumberingHistory> UseHistoryIn(const std::wstring& state, bool fresh)
{
    if (fresh)
        RemoveTree(state);
    CreateDirectoryW(state.c_str(), nullptr);
    return LoadHistory(state);
}

RunOptions OptionsFor(OperationMode mode)
{
    RunOptions options;
    options.mode = mode;
    options.journalFolder = UserJournalFolder();
    return options;
}

RunOptions NumberingOptions(int argc, wchar_t** argv, NumberingHistory* history)
{
    RunOptions options = OptionsFor(ModeNumber);
    options.nameText = OptionValue(argc, argv, L"name", L"Trip");
    options.numberWidth = std::stoi(OptionValue(argc, argv, L"width", L"6"));
    options.history = history;
    return options;
}

// The journal of the Lower run the command line would make of root now: its seconds.
double TimeLowerJournal(const std::wstring& root, long long& entries)
{
    RunOptions options = OptionsFor(ModeLower);
    PreparedRun run = PrepareRun(root, options, RunHooks());
    if (run.result != BatchResult::Completed)
        return -1;
    entries = static_cast<long long>(run.plan.entries.size());
    RunSteps steps = OrderRunSteps(run.plan, L"bench");
    // What BatchRun gives the journal of a Lower run.
    RunJournalContext context;
    context.journalFolder = options.journalFolder;
    RunJournal journal;
    Stopwatch clock;
    if (!BeginRunJournal(run.plan, steps, context, journal))
        return -1;
    std::vector<StepResult> results(steps.size());
    for (StepResult& result : results)
        result.outcome = StepOutcome::Done;
    EndRunJournal(journal, run.plan, steps, results);
    double seconds = clock.Seconds();
    // No run happened: nothing may offer to undo it.
    DeleteFileW(journal.path.c_str());
    return seconds;
}

// The visible Preview dialog of this process, once it is there.
HWND FindPreviewDialog(DWORD threadId)
{
    HWND found = nullptr;
    EnumThreadWindows(
        threadId,
        [](HWND window, LPARAM data) -> BOOL {
            wchar_t caption[16] = L"";
            GetWindowTextW(window, caption, 16);
            if (IsWindowVisible(window) && std::wcscmp(caption, L"Preview") == 0) {
                *reinterpret_cast<HWND*>(data) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Shows the plan in the Preview dialog and closes it as soon as it has shown its rows: the
// dialog's own thread has answered once it is visible, so its first painting is behind it.
void ShowAndClosePreview(HWND owner, const RunPlan& plan)
{
    DWORD threadId = GetCurrentThreadId();
    std::thread closer([threadId] {
        HWND dialog = nullptr;
        while (!(dialog = FindPreviewDialog(threadId)))
            Sleep(1);
        DWORD_PTR unused = 0;
        SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &unused);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    ShowPreviewDialog(owner, plan);
    closer.join();
}

int Usage()
{
    std::fprintf(stderr, "usage: engine_bench lower|upper|readonly|preview|preview-dialog ROOT"
                         " | number|resumed ROOT STATE --name=TEXT"
                         " | listing-plain|listing-rtf ROOT OUTPUT\n");
    return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
        return Usage();
    std::wstring mode = argv[1];
    std::wstring root = argv[2];
    if (mode == L"lower-journal") {
        long long entries = 0;
        double seconds = TimeLowerJournal(root, entries);
        if (seconds < 0) {
            std::fprintf(stderr, "the journal could not be written\n");
            return 1;
        }
        PrintResult(0, PeakMegabytes(), seconds, entries);
        return 0;
    }
    bool needsThird = mode == L"number" || mode == L"resumed" || mode == L"listing-plain" || mode == L"listing-rtf";
    if (needsThird && argc < 4)
        return Usage();

    HWND window = mode == L"lower" ? nullptr : CreateBenchWindow();
    RunOptions options = OptionsFor(ModeLower);
    std::unique_ptr<NumberingHistory> history;
    if (mode == L"number" || mode == L"resumed") {
        history = UseHistoryIn(argv[3], mode == L"number");
        options = NumberingOptions(argc, argv, history.get());
    } else if (mode == L"upper") {
        options.mode = ModeUpper;
    } else if (mode == L"readonly") {
        options.mode = ModeReadOnly;
    } else if (mode != L"lower" && mode != L"preview" && mode != L"preview-dialog" && !needsThird) {
        return Usage();
    }
    HHOOK answer = mode == L"resumed" ? SetWindowsHookExW(WH_CBT, AnswerYesProc, nullptr, GetCurrentThreadId()) : nullptr;

    double journalSeconds = 0;
    long long entries = 0;
    BatchResult result = BatchResult::Completed;
    Stopwatch clock;
    if (mode == L"listing-plain" || mode == L"listing-rtf") {
        if (!WriteListingFile(root, argv[3], mode == L"listing-plain", L"Consolas").written())
            result = BatchResult::PathNotFound;
    } else {
        // As the main window runs it: the "Calculating..." box, the resume question, the bar.
        PreparedRun run = PrepareWindowRun(window, root, options);
        result = run.result;
        entries = static_cast<long long>(run.plan.entries.size());
        if (mode == L"preview-dialog" && result == BatchResult::Completed)
            ShowAndClosePreview(window, run.plan);
        else if (mode != L"preview" && result == BatchResult::Completed) {
            RunOutcome outcome = ExecuteWindowRun(window, run, options);
            result = outcome.result;
            journalSeconds = outcome.journalSeconds;
        }
    }
    double seconds = clock.Seconds();
    if (answer)
        UnhookWindowsHookEx(answer);
    if (result != BatchResult::Completed) {
        std::fprintf(stderr, "the run did not complete: %ls\n", BatchResultMessage(result, root).c_str());
        return 1;
    }
    PrintResult(seconds, PeakMegabytes(), journalSeconds, entries);
    std::printf("progress messages=%ld\n", ProgressMessages);
    history.reset();
    if (window)
        DestroyWindow(window);
    return 0;
}
