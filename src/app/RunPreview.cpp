// File > Preview...: plans the run Start would make now, shows the plan, and on Start applies it.
#include "RunPreview.h"

#include "AppState.h"
#include "PreviewDialog.h"
#include "RunFrame.h"
#include "RunStart.h"
#include "StartRequest.h"
#include "WindowRun.h"

// False when nothing was applied: the path was refused or could not be used, or the user closed
// the preview; then neither the Favorites order is reset nor "Done!" claimed.
static bool PreviewAndApply(HWND window, const StartRequest& request)
{
    if (!AcceptsPath(window, request))
        return false;
    RunOptions options = RunOptionsOf(request);
    PreparedRun prepared = PrepareWindowRun(window, request.folder, options);
    if (!ReportRunResult(window, prepared.result, request.folder))
        return false;
    // A close asked for while the tree was walked ends the program instead.
    if (CloseDeferred || !ShowPreviewDialog(window, prepared.plan))
        return false;
    return ReportRunResult(window, ExecuteWindowRun(window, prepared, options), request.folder, options);
}

void RunPreview(HWND window)
{
    // The menu item is greyed in Listing mode; a command that arrives anyway is ignored.
    if (CurrentMode == ModeListing)
        return;
    RunRequested(window, PreviewAndApply);
}
