// File > Preview...: plans the run Start would make now, shows the plan, and on Start applies it.
#include "RunPreview.h"

#include "AppState.h"
#include "BatchRun.h"
#include "PreviewDialog.h"
#include "RunStart.h"

// False when nothing was applied: the path was refused or could not be used, or the user closed
// the preview; then neither the Favorites order is reset nor "Done!" claimed.
static bool PreviewAndApply(HWND window, const StartRequest& request)
{
    if (!AcceptsPath(window, request))
        return false;
    PreparedRun prepared;
    if (!ReportRunResult(window, PrepareRun(window, request.folder, ReadRunOptions(window, request.mode), prepared),
                         request.folder))
        return false;
    // A close asked for while the tree was walked ends the program instead.
    if (CloseDeferred || !ShowPreviewDialog(window, prepared.plan))
        return false;
    return ReportRunResult(window, ExecuteRun(window, prepared), request.folder);
}

static void RunPreviewSteps(HWND window)
{
    StartRequest request;
    if (!TakeStartRequest(window, request))
        return;
    RunFrozen(window, request.mode, [&] { return PreviewAndApply(window, request); });
}

void RunPreview(HWND window)
{
    // The menu item is greyed in Listing mode; a command that arrives anyway is ignored.
    if (CurrentMode == ModeListing)
        return;
    RunExclusive(window, RunPreviewSteps);
}
