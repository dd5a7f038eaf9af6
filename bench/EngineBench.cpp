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
//   engine_bench replace-dialog ROOT           File > Find and Replace... opened: the walk, then the dialog until
//                                              it has shown its first plan
//   engine_bench replace-keystroke ROOT        the dialog open, the seconds from a keystroke in Search for until
//                                              the list shows the new plan, the slowest of a few (no baseline)
//   engine_bench replace-token-keystroke ROOT  the same with tokens typed into Replace with ("{n:000001} {name}")
//                                              and the order by date created, once the dates are read
//   engine_bench details ROOT photo|music      the photo or music values of every file read as Find and
//                                              Replace reads them; only the reading is timed, the walk
//                                              comes before
//   engine_bench replace-apply ROOT FROM TO    the plan of replacing FROM by TO in every file name (plain
//                                              text, case matters) applied as Rename applies it: only the
//                                              applying is timed, the walk and the plan come before
//   engine_bench listing-plain|listing-rtf ROOT OUTPUT
//                                              WriteListingFile
// Prints one "result" line (seconds of the run, peak working set, seconds spent on the journal)
// and one "progress" line (the messages the progress bar received).
#include "BatchRun.h"
#include "FileListing.h"
#include "HistoryStore.h"
#include "JournalStore.h"
#include "ReplacePlan.h"
#include "ReplaceValues.h"
#include "TreeDetails.h"
#include "MessagePump.h"
#include "FindReplaceDialog.h"
#include "PreviewDialog.h"
#include "RunJournal.h"
#include "RunReport.h"
#include "WindowRun.h"
#include "resource.h"

#include "BenchSupport.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
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

struct CaptionSearch {
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK TakeCaptioned(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<CaptionSearch*>(data);
    wchar_t text[64] = L"";
    GetWindowTextW(window, text, 64);
    if (IsWindowVisible(window) && std::wcscmp(text, search->caption) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The visible dialog of this thread with that caption, once it is there.
HWND FindDialog(DWORD threadId, const wchar_t* caption)
{
    CaptionSearch search{caption, nullptr};
    EnumThreadWindows(threadId, TakeCaptioned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForDialog(DWORD threadId, const wchar_t* caption)
{
    HWND dialog = nullptr;
    while (!(dialog = FindDialog(threadId, caption)))
        Sleep(1);
    return dialog;
}

// Shows the plan in the Preview dialog and closes it as soon as it has shown its rows: the
// dialog's own thread has answered once it is visible, so its first painting is behind it.
void ShowAndClosePreview(HWND owner, const RunPlan& plan)
{
    DWORD threadId = GetCurrentThreadId();
    std::thread closer([threadId] {
        HWND dialog = WaitForDialog(threadId, L"Preview");
        DWORD_PTR unused = 0;
        SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &unused);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    ShowPreviewDialog(owner, plan);
    closer.join();
}

// The gap between two keystrokes of a quick typist: each one restarts the dialog's pause.
constexpr DWORD kTypingGapMs = 40;

std::wstring ControlText(HWND control)
{
    wchar_t text[512] = L"";
    DWORD_PTR unused = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 60000, &unused);
    return text;
}

// Seconds from since until the dialog shows a plan other than the one summarised by before, its
// list painted; after gets the new summary.
double WaitForNewPlan(HWND dialog, const std::wstring& before, const Stopwatch& since, std::wstring& after)
{
    HWND summary = GetDlgItem(dialog, IDC_REPLACE_SUMMARY);
    HWND list = GetDlgItem(dialog, IDC_REPLACE_LIST);
    for (;;) {
        after = ControlText(summary);
        if (after != before && after.find(L"to rename:") != std::wstring::npos && !GetUpdateRect(list, nullptr, FALSE))
            return since.Seconds();
        Sleep(1);
    }
}

// The first row's new name as the list shows it.
std::wstring FirstNameAfter(HWND list)
{
    wchar_t text[512] = L"";
    LVITEMW item{};
    item.iSubItem = 2;
    item.pszText = text;
    item.cchTextMax = 512;
    DWORD_PTR unused = 0;
    SendMessageTimeoutW(list, LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item), SMTO_NORMAL, 60000, &unused);
    return text;
}

// Seconds from since until the list's first row shows another new name than before, painted.
double WaitForNewFirstRow(HWND dialog, const std::wstring& before, const Stopwatch& since, std::wstring& after)
{
    HWND summary = GetDlgItem(dialog, IDC_REPLACE_SUMMARY);
    HWND list = GetDlgItem(dialog, IDC_REPLACE_LIST);
    for (;;) {
        after = FirstNameAfter(list);
        if (after != before && ControlText(summary).find(L"to rename:") != std::wstring::npos &&
            !GetUpdateRect(list, nullptr, FALSE))
            return since.Seconds();
        Sleep(1);
    }
}

// Types keys into Replace with, then times the way from the last key to the list's new first row.
double TypeTokensAndTime(HWND dialog, const std::wstring& keys, std::wstring& firstRow)
{
    HWND edit = FindWindowExW(GetDlgItem(dialog, IDC_REPLACE_TEXT), nullptr, L"Edit", nullptr);
    for (size_t i = 0; i + 1 < keys.size(); ++i) {
        PostMessageW(edit, WM_CHAR, keys[i], 1);
        Sleep(kTypingGapMs);
    }
    Stopwatch clock;
    PostMessageW(edit, WM_CHAR, keys.back(), 1);
    std::wstring before = firstRow;
    return WaitForNewFirstRow(dialog, before, clock, firstRow);
}

// Types into the Search for box as the keyboard would, then times the way from the last key to
// the new list.
double TypeAndTime(HWND dialog, const std::wstring& keys, std::wstring& summary)
{
    HWND edit = FindWindowExW(GetDlgItem(dialog, IDC_REPLACE_SEARCH), nullptr, L"Edit", nullptr);
    for (size_t i = 0; i + 1 < keys.size(); ++i) {
        PostMessageW(edit, WM_CHAR, keys[i], 1);
        Sleep(kTypingGapMs);
    }
    Stopwatch clock;
    PostMessageW(edit, WM_CHAR, keys.back(), 1);
    std::wstring before = summary;
    return WaitForNewPlan(dialog, before, clock, summary);
}

// File > Find and Replace... over the collected tree until it has shown its first plan; with
// keystrokes, then the slowest way from a keystroke to the new list, else none.
double ShowFindReplace(HWND owner, RunPlan collected, bool keystrokes, bool tokens = false)
{
    DWORD threadId = GetCurrentThreadId();
    double slowest = 0;
    std::thread driver([&] {
        HWND dialog = WaitForDialog(threadId, L"Find and Replace");
        std::wstring summary;
        // With tokens, the first plan is the one the creation dates were read for.
        Stopwatch opened;
        WaitForNewPlan(dialog, std::wstring(), opened, summary);
        if (tokens)
            std::printf("first plan, creation dates read: %.3f s\n", opened.Seconds());
        if (tokens) {
            std::wstring firstRow = FirstNameAfter(GetDlgItem(dialog, IDC_REPLACE_LIST));
            // Every file renamed by the counter and its name, then with an x after, then without again.
            for (const wchar_t* keys : {L"{n:000001} {name}", L"x", L"\b"}) {
                double seconds = TypeTokensAndTime(dialog, keys, firstRow);
                std::printf("token keystroke %ls: %.3f s\n", keys[0] == L'\b' ? L"Backspace" : keys, seconds);
                slowest = std::max(slowest, seconds);
            }
        } else if (keystrokes) {
            // A search that renames every file, then a tenth of them, then every file again.
            for (const wchar_t* keys : {L"PHOTO_", L"1", L"\b"}) {
                double seconds = TypeAndTime(dialog, keys, summary);
                std::printf("keystroke %ls: %.3f s\n", keys[0] == L'\b' ? L"Backspace" : keys, seconds);
                slowest = std::max(slowest, seconds);
            }
        }
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    FindReplaceChoices choices;
    if (tokens)
        choices.ordering.by = ReplaceOrder::DateCreated;
    RunPlan chosen;
    ShowFindReplaceDialog(owner, std::make_shared<const RunPlan>(std::move(collected)), choices, {}, chosen);
    driver.join();
    return slowest;
}

// The photo or music values of every file of the tree at root, read as the planner reads them.
int TimeDetails(const std::wstring& root, bool photos)
{
    RunOptions options;
    options.mode = ModeFindReplace;
    CollectedTree tree = CollectEntries(LongPath(root), options, nullptr, {});
    std::vector<std::int32_t> all(tree.plan.entries.size());
    for (size_t i = 0; i < all.size(); ++i)
        all[i] = static_cast<std::int32_t>(i);
    long long files = 0;
    for (const PlannedEntry& entry : tree.plan.entries)
        files += entry.isFolder ? 0 : 1;
    Stopwatch clock;
    TreeDetails details(tree.plan);
    details.Read(tree.plan, all, photos ? kPhotoKind : kMusicKind, {}, {});
    double seconds = clock.Seconds();
    // Each file said what it holds: one value checked, so that a reader that found nothing is not timed as fast.
    EntryValues values;
    LocalClock localClock;
    details.Fill(tree.plan.entries.size() - 1, kAllKinds, values, localClock);
    bool found = photos ? values.taken.has_value() : !values.title.empty();
    std::printf("values bytes=%zu per_entry=%.1f found=%d\n", details.Bytes(),
                static_cast<double>(details.Bytes()) / static_cast<double>(std::max<size_t>(all.size(), 1)), found ? 1 : 0);
    PrintResult(seconds, PeakMegabytes(), 0, files);
    return found ? 0 : 1;
}

int Usage()
{
    std::fprintf(stderr, "usage: engine_bench lower|upper|readonly|preview|preview-dialog|replace-dialog|replace-keystroke"
                         "|replace-token-keystroke ROOT | details ROOT photo|music"
                         " | replace-apply ROOT FROM TO"
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
    if (mode == L"details" && argc >= 4)
        return TimeDetails(root, std::wstring(argv[3]) == L"photo");
    bool needsThird = mode == L"number" || mode == L"resumed" || mode == L"listing-plain" || mode == L"listing-rtf";
    if ((needsThird && argc < 4) || (mode == L"replace-apply" && argc < 5))
        return Usage();
    bool replacing = mode == L"replace-dialog" || mode == L"replace-keystroke" || mode == L"replace-token-keystroke" ||
                     mode == L"replace-apply";

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
    } else if (replacing) {
        options.mode = ModeFindReplace;
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
        if (result == BatchResult::Completed && mode == L"preview-dialog") {
            ShowAndClosePreview(window, run.plan);
        } else if (result == BatchResult::Completed &&
                   (mode == L"replace-dialog" || mode == L"replace-keystroke" || mode == L"replace-token-keystroke")) {
            bool tokens = mode == L"replace-token-keystroke";
            double slowest = ShowFindReplace(window, std::move(run.plan), mode != L"replace-dialog", tokens);
            // The keystroke rows time the keystrokes alone.
            if (mode != L"replace-dialog") {
                PrintResult(slowest, PeakMegabytes(), 0, entries);
                DestroyWindow(window);
                return 0;
            }
        } else if (result == BatchResult::Completed && mode == L"replace-apply") {
            // As Rename applies the plan the dialog shows.
            ReplaceRule rule;
            rule.search = argv[3];
            rule.replacement = argv[4];
            rule.matchCase = true;
            run.plan = PlanReplace(run.plan, ReplaceSelection(), CompileReplaceRule(rule));
            clock = Stopwatch();
            RunOutcome outcome = ExecuteWindowRun(window, run, options);
            result = outcome.result;
            journalSeconds = outcome.journalSeconds;
        } else if (result == BatchResult::Completed && mode != L"preview") {
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
