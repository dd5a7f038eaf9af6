// The frame every command of Start's kind shares: one at a time, the panel frozen meanwhile, and
// the same ending.
#include "RunFrame.h"

#include "AppState.h"
#include "FavoritesOrder.h"
#include "MessagePump.h"
#include "ModePanel.h"
#include "resource.h"

static constexpr wchar_t kDoneCaption[] = L"Lower";
static constexpr wchar_t kDoneText[] = L"Done!";
static constexpr wchar_t kFavoritesDoneText[] = L"Done! You should now restart Internet Explorer.";

void RunFrozen(HWND window, OperationMode mode, const std::function<bool()>& work)
{
    HCURSOR previousCursor = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    DisableRunSet(window);
    ShowWindow(GetDlgItem(window, IDC_PROGRESS), SW_SHOW);
    PumpMessages();

    bool ran = work();

    ShowWindow(GetDlgItem(window, IDC_PROGRESS), SW_HIDE);
    EnableRunSetAfterRun(window);
    if (ran && mode == ModeFavorites) {
        PumpMessages();
        DeleteFavoritesOrder(HKEY_CURRENT_USER);
        PumpMessages();
    }
    SetCursor(previousCursor);
    // A user who closed the window during the run is not kept waiting by the closing message.
    if (ran && !CloseDeferred)
        MessageBoxW(window, mode == ModeFavorites ? kFavoritesDoneText : kDoneText, kDoneCaption, MB_ICONINFORMATION | MB_OK);
    StartInProgress = false;
    EnableStartIfIdle(window);
}

void RunExclusive(HWND window, const std::function<void()>& command)
{
    // A command that arrives while one is in progress (posted, or through a nested pump) is ignored.
    if (StartInProgress)
        return;
    StartInProgress = true;
    command();
    StartInProgress = false;
    if (CloseDeferred) {
        CloseDeferred = false;
        DestroyWindow(window);
    }
}

void RunRequested(HWND window, RequestedWork work)
{
    RunExclusive(window, [window, work] {
        StartRequest request;
        if (TakeStartRequest(window, request))
            RunFrozen(window, request.mode, [&] { return work(window, request); });
    });
}
