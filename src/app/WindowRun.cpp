// A batch run as the main window shows it.
#include "WindowRun.h"

#include "AppState.h"
#include "CalculatingDialog.h"
#include "ExtendedPath.h"
#include "MessagePump.h"
#include "ProgressFrames.h"
#include "RunReport.h"
#include "UndoCommand.h"
#include "resource.h"

#include <commctrl.h>

#include <memory>

namespace {

constexpr wchar_t kResumeCaption[] = L"Nomaro";
constexpr wchar_t kTakeBackCaption[] = L"Nomaro";
constexpr wchar_t kTakeBackFirst[] = L"A run over ";
constexpr wchar_t kTakeBackRest[] =
    L" did not finish: Nomaro or Windows stopped in its middle, and some names may be half changed.\n\n"
    L"Take back what that run did before this one?\n\n"
    L"Yes: its changes are taken back first, as File > Undo would.\n"
    L"No: this run works on the names as that run left them; File > Undo can take that run back later.";
constexpr wchar_t kTakenBackInPart[] = L" that did not finish was taken back only in part.\n\n";
constexpr wchar_t kUnreadableRest[] = L" that did not finish cannot be read, so it was not taken back.";

// The hint in the upper right corner gives way to the progress bar while the engine works.
class BusyScope {
public:
    explicit BusyScope(HWND window) : window_(window) { Set(true); }
    ~BusyScope() { Set(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    void Set(bool busy)
    {
        BatchBusy = busy;
        if (window_)
            InvalidateRect(window_, nullptr, TRUE);
    }
    HWND window_;
};

// The hooks of one run started from window, or from the command line when window is none.
class WindowHooks {
public:
    explicit WindowHooks(HWND window) : window_(window), bar_(window ? GetDlgItem(window, IDC_PROGRESS) : nullptr)
    {
        hooks_.askResume = [this] { return AskResume(); };
        if (!window_)
            return;
        // The command line has nobody to ask: it takes a run cut short back, then completes the work.
        hooks_.askTakeBackUnfinished = [this](const std::wstring& folder) { return AskTakeBack(folder); };
        hooks_.tookBackInPart = [this](const std::wstring& folder, const UndoReport& report, const std::wstring& keptAs) {
            TellTakenBackInPart(folder, report, keptAs);
        };
        hooks_.collectionBegins = [this] { BeginCollection(); };
        hooks_.collectionEnds = [this] { EndCollection(); };
        hooks_.keepAlive = PumpMessages;
        hooks_.changesBegin = [this] { BeginChanges(); };
        hooks_.progress = [this](std::int32_t percent) { Progress(percent); };
    }
    WindowHooks(const WindowHooks&) = delete;
    WindowHooks& operator=(const WindowHooks&) = delete;

    const RunHooks& Hooks() const { return hooks_; }

    // Draws the bar's last position.
    void EndChanges() { frames_.reset(); }

private:
    // The bar starts at 0 of 100; from now on it is drawn at most five times a second.
    void BeginChanges()
    {
        if (!bar_)
            return;
        SendMessageW(bar_, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        SendMessageW(bar_, PBM_SETPOS, 0, 0);
        frames_ = std::make_unique<ProgressFrames>(bar_);
    }

    bool AskResume() const
    {
        return MessageBoxW(window_, kResumeQuestion, kResumeCaption, MB_ICONQUESTION | MB_YESNO) == IDYES;
    }

    bool AskTakeBack(const std::wstring& folder) const
    {
        std::wstring text = kTakeBackFirst + DisplayPath(folder) + kTakeBackRest;
        return MessageBoxW(window_, text.c_str(), kTakeBackCaption, MB_ICONQUESTION | MB_YESNO) == IDYES;
    }

    // The user agreed to the take-back: what of it did not happen is theirs to know.
    void TellTakenBackInPart(const std::wstring& folder, const UndoReport& report, const std::wstring& keptAs) const
    {
        bool unreadable = report.undone == 0 && report.notUndone.empty();
        std::wstring text;
        if (unreadable) {
            text = L"The record of the run over " + DisplayPath(folder) + kUnreadableRest;
        } else {
            text = L"The run over " + DisplayPath(folder) + kTakenBackInPart + UndoReportText(report);
            if (!keptAs.empty())
                text += L"\n\n" + PartNotReadText(L"that");
        }
        if (!keptAs.empty())
            text += L"\n\n" + KeptAsText(keptAs);
        MessageBoxW(window_, text.c_str(), kTakeBackCaption, MB_ICONWARNING | MB_OK);
    }

    void BeginCollection()
    {
        calculating_ = CreateDialogParamW(AppInstance ? AppInstance : GetModuleHandleW(nullptr),
                                          MAKEINTRESOURCEW(IDD_CALCULATING), window_, CalculatingDialogProc, 0);
        // Painted now: collection pumps only between folders, and a box shown unpainted is a black hole.
        if (calculating_)
            UpdateWindow(calculating_);
        if (bar_)
            SendMessageW(bar_, PBM_SETPOS, 0, 0);
    }

    void EndCollection()
    {
        if (calculating_ && IsWindow(calculating_))
            SendMessageW(calculating_, WM_CLOSE, 0, 0);
        calculating_ = nullptr;
        PumpMessages();
    }

    void Progress(std::int32_t percent)
    {
        if (bar_)
            SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
        if (frames_)
            frames_->Moved();
    }

    HWND window_;
    // Found once: under Wine each look-up of a child window is a call to the server.
    HWND bar_;
    HWND calculating_ = nullptr;
    std::unique_ptr<ProgressFrames> frames_;
    RunHooks hooks_;
};

} // namespace

PreparedRun PrepareWindowRun(HWND window, const std::wstring& folder, const RunOptions& options)
{
    BusyScope busy(window);
    WindowHooks hooks(window);
    return PrepareRun(folder, options, hooks.Hooks());
}

void PrepareWindowRunAgain(HWND window, PreparedRun& run, const std::wstring& folder, const RunOptions& options)
{
    BusyScope busy(window);
    WindowHooks hooks(window);
    PrepareRunAgain(run, folder, options, hooks.Hooks());
}

// Runs apply, then tells the user what waits for a restart and what kept its name.
template <typename Apply>
static RunOutcome ApplyAndReport(HWND window, const RunOptions& options, Apply apply)
{
    BusyScope busy(window);
    WindowHooks hooks(window);
    RunOutcome outcome = apply(hooks.Hooks());
    hooks.EndChanges();
    if (outcome.result == BatchResult::Completed)
        ReportRunEnd(window, outcome, options.history ? options.history->startDirectory : std::wstring());
    return outcome;
}

RunOutcome ExecuteWindowRun(HWND window, PreparedRun& run, const RunOptions& options)
{
    return ApplyAndReport(window, options, [&](const RunHooks& hooks) { return ExecuteRun(run, options, hooks); });
}

RunOutcome WindowBatchRun(HWND window, const std::wstring& folder, const RunOptions& options)
{
    return ApplyAndReport(window, options, [&](const RunHooks& hooks) { return BatchRun(folder, options, hooks); });
}
