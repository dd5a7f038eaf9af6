// File > Find and Replace...: walks the tree, shows the dialog, and applies the plan it shows.
#include "RunFindReplace.h"

#include "AppState.h"
#include "FindReplaceDialog.h"
#include "JournalStore.h"
#include "RunFrame.h"
#include "RunStart.h"
#include "Settings.h"
#include "StartRequest.h"
#include "Win32Text.h"
#include "WindowRun.h"
#include "resource.h"

#include <algorithm>

// A remembered size beyond this (in dialog units) is no size a screen can show: the template's then.
static constexpr DWORD kLargestRememberedSize = 10000;

static FindReplaceChoices LoadChoices()
{
    ReplaceSettings stored = LoadReplaceSettings();
    FindReplaceChoices choices;
    choices.searches = stored.searches;
    choices.replacements = stored.replacements;
    choices.options.regex = stored.regex != 0;
    choices.options.matchCase = stored.matchCase != 0;
    choices.options.replaceAll = stored.replaceAll != 0;
    choices.options.scope = stored.applyTo <= static_cast<DWORD>(ReplaceScope::WholeName)
                                ? static_cast<ReplaceScope>(stored.applyTo)
                                : ReplaceScope::NameWithoutExtension;
    choices.options.format = stored.format <= static_cast<DWORD>(TextFormat::CapitalizeFirst)
                                 ? static_cast<TextFormat>(stored.format)
                                 : TextFormat::None;
    choices.selection.files = stored.files != 0;
    choices.selection.folders = stored.folders != 0;
    choices.selection.subfolders = stored.subfolders != 0;
    choices.selection.hidden = stored.hidden != 0;
    if (stored.width <= kLargestRememberedSize && stored.height <= kLargestRememberedSize)
        choices.size = SIZE{static_cast<LONG>(stored.width), static_cast<LONG>(stored.height)};
    return choices;
}

static void SaveChoices(const FindReplaceChoices& choices)
{
    ReplaceSettings stored;
    stored.searches = choices.searches;
    stored.replacements = choices.replacements;
    stored.regex = choices.options.regex ? 1 : 0;
    stored.matchCase = choices.options.matchCase ? 1 : 0;
    stored.replaceAll = choices.options.replaceAll ? 1 : 0;
    stored.applyTo = static_cast<DWORD>(choices.options.scope);
    stored.format = static_cast<DWORD>(choices.options.format);
    stored.files = choices.selection.files ? 1 : 0;
    stored.folders = choices.selection.folders ? 1 : 0;
    stored.subfolders = choices.selection.subfolders ? 1 : 0;
    stored.hidden = choices.selection.hidden ? 1 : 0;
    stored.width = static_cast<DWORD>(std::max<LONG>(choices.size.cx, 0));
    stored.height = static_cast<DWORD>(std::max<LONG>(choices.size.cy, 0));
    SaveReplaceSettings(stored);
}

// False when nothing was applied: the folder could not be walked, or the user closed the dialog;
// then "Done!" is not claimed.
static bool FindAndReplace(HWND window, const StartRequest& request)
{
    RunOptions options;
    options.mode = ModeFindReplace;
    options.journalFolder = UserJournalFolder();
    // Planned with no rule, every entry keeps its name: the plan is the tree as walked, which the
    // dialog plans again at every pause in typing. The lock it holds keeps other runs off the tree
    // until the plan shown is applied or dropped.
    PreparedRun prepared = PrepareWindowRun(window, request.folder, options);
    if (!ReportRunResult(window, prepared.result, request.folder))
        return false;
    // A close asked for while the tree was walked ends the program instead.
    if (CloseDeferred)
        return false;
    auto collected = std::make_shared<const RunPlan>(std::move(prepared.plan));
    FindReplaceRefresh refresh = [&](HWND dialog) -> std::shared_ptr<const RunPlan> {
        PrepareWindowRunAgain(dialog, prepared, request.folder, options);
        if (!ReportRunResult(dialog, prepared.result, request.folder))
            return nullptr;
        return std::make_shared<const RunPlan>(std::move(prepared.plan));
    };
    FindReplaceChoices choices = LoadChoices();
    RunPlan chosen;
    bool rename = ShowFindReplaceDialog(window, std::move(collected), choices, refresh, chosen);
    SaveChoices(choices);
    if (!rename)
        return false;
    prepared.plan = std::move(chosen);
    return ReportRunResult(window, ExecuteWindowRun(window, prepared, options), request.folder, options);
}

void RunFindReplace(HWND window)
{
    RunExclusive(window, [window] {
        StartRequest request;
        if (TakeFolderRequest(window, ModeFindReplace, request))
            RunFrozen(window, ModeFindReplace, [&] { return FindAndReplace(window, request); });
    });
}

void UpdateFindReplaceItem(HWND window, HMENU menu)
{
    bool chosen = GetWindowTextLengthW(GetDlgItem(window, IDC_FOLDER)) > 0;
    EnableMenuItem(menu, IDM_FIND_REPLACE, MF_BYCOMMAND | (chosen ? MF_ENABLED : MF_GRAYED));
}
