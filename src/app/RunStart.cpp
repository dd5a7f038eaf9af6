// The Start button: takes the request, freezes the panel, runs the mode and reports the end.
#include "RunStart.h"

#include "ListingRun.h"
#include "RunFrame.h"
#include "RunReport.h"
#include "StartRequest.h"
#include "WindowRun.h"

static constexpr wchar_t kStartCaption[] = L"Nomaro";

bool ReportRunResult(HWND window, BatchResult result, const std::wstring& folder)
{
    if (result == BatchResult::Completed)
        return true;
    MessageBoxW(window, BatchResultMessage(result, folder).c_str(), kStartCaption, MB_ICONWARNING | MB_OK);
    return false;
}

bool ReportRunResult(HWND window, const RunOutcome& outcome, const std::wstring& folder, const RunOptions& options)
{
    if (outcome.result == BatchResult::Completed)
        return true;
    std::wstring text = BatchResultMessage(outcome.result, folder, outcome.journalError, options.journalFolder);
    MessageBoxW(window, text.c_str(), kStartCaption, MB_ICONWARNING | MB_OK);
    return false;
}

// Runs the mode over the folder; false when the run did not do what it was asked (the batch run
// changed nothing, or the listing was not written). Then the user has been told why, and neither
// the Favorites order is reset nor "Done!" claimed.
static bool RunMode(HWND window, const StartRequest& request)
{
    // A refused path still ends with "Done!", as Start always has.
    if (!AcceptsPath(window, request))
        return true;
    if (request.mode == ModeListing)
        return RunListing(window, request.folder);
    RunOptions options = RunOptionsOf(request);
    RunOutcome outcome = WindowBatchRun(window, request.folder, options);
    return ReportRunResult(window, outcome, request.folder, options);
}

void RunStart(HWND window)
{
    RunRequested(window, RunMode);
}
