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

// The stored numbers as the dialog's options; the settings read a number out of range as its default.
static FindReplacePreset PresetOf(const ReplaceSettings& stored)
{
    FindReplacePreset preset;
    if (!stored.searches.empty())
        preset.rule.search = stored.searches.front();
    if (!stored.replacements.empty())
        preset.rule.replacement = stored.replacements.front();
    preset.rule.regex = stored.regex != 0;
    preset.rule.matchCase = stored.matchCase != 0;
    preset.rule.replaceAll = stored.replaceAll != 0;
    preset.rule.scope = static_cast<ReplaceScope>(std::min<DWORD>(stored.applyTo, static_cast<DWORD>(ReplaceScope::WholeName)));
    preset.rule.format =
        static_cast<TextFormat>(std::min<DWORD>(stored.format, static_cast<DWORD>(TextFormat::CapitalizeFirst)));
    preset.rule.modifiedForTaken = stored.modifiedForTaken != 0;
    preset.selection.files = stored.files != 0;
    preset.selection.folders = stored.folders != 0;
    preset.selection.subfolders = stored.subfolders != 0;
    preset.selection.hidden = stored.hidden != 0;
    preset.ordering.by = static_cast<ReplaceOrder>(std::min<DWORD>(stored.order, kReplaceOrderCount - 1));
    preset.ordering.descending = stored.descending != 0;
    preset.ordering.restartPerFolder = stored.restartCounter != 0;
    return preset;
}

static ReplaceSettings StoredOf(const FindReplacePreset& preset)
{
    ReplaceSettings stored;
    stored.searches = {preset.rule.search};
    stored.replacements = {preset.rule.replacement};
    stored.regex = preset.rule.regex ? 1 : 0;
    stored.matchCase = preset.rule.matchCase ? 1 : 0;
    stored.replaceAll = preset.rule.replaceAll ? 1 : 0;
    stored.applyTo = static_cast<DWORD>(preset.rule.scope);
    stored.format = static_cast<DWORD>(preset.rule.format);
    stored.modifiedForTaken = preset.rule.modifiedForTaken ? 1 : 0;
    stored.files = preset.selection.files ? 1 : 0;
    stored.folders = preset.selection.folders ? 1 : 0;
    stored.subfolders = preset.selection.subfolders ? 1 : 0;
    stored.hidden = preset.selection.hidden ? 1 : 0;
    stored.order = static_cast<DWORD>(preset.ordering.by);
    stored.descending = preset.ordering.descending ? 1 : 0;
    stored.restartCounter = preset.ordering.restartPerFolder ? 1 : 0;
    return stored;
}

static FindReplaceChoices LoadChoices()
{
    ReplaceSettings stored = LoadReplaceSettings();
    FindReplacePreset options = PresetOf(stored);
    FindReplaceChoices choices;
    choices.searches = stored.searches;
    choices.replacements = stored.replacements;
    choices.options = options.rule;
    choices.options.search.clear();
    choices.options.replacement.clear();
    choices.selection = options.selection;
    choices.ordering = options.ordering;
    if (stored.width <= kLargestRememberedSize && stored.height <= kLargestRememberedSize)
        choices.size = SIZE{static_cast<LONG>(stored.width), static_cast<LONG>(stored.height)};
    return choices;
}

static void SaveChoices(const FindReplaceChoices& choices)
{
    ReplaceSettings stored = StoredOf(FindReplacePreset{choices.options, choices.selection, choices.ordering});
    stored.searches = choices.searches;
    stored.replacements = choices.replacements;
    stored.width = static_cast<DWORD>(std::max<LONG>(choices.size.cx, 0));
    stored.height = static_cast<DWORD>(std::max<LONG>(choices.size.cy, 0));
    SaveReplaceSettings(stored);
}

// The presets, kept in the settings.
static FindReplacePresets StoredPresets()
{
    FindReplacePresets presets;
    presets.names = [] { return ReplacePresetNames(); };
    presets.load = [](const std::wstring& name, FindReplacePreset& preset) {
        ReplaceSettings stored;
        if (!LoadReplacePreset(name, stored))
            return false;
        preset = PresetOf(stored);
        return true;
    };
    presets.save = [](const std::wstring& name, const FindReplacePreset& preset) {
        return SaveReplacePreset(name, StoredOf(preset));
    };
    presets.remove = [](const std::wstring& name) { return DeleteReplacePreset(name); };
    return presets;
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
    bool rename = ShowFindReplaceDialog(window, std::move(collected), choices, refresh, chosen, StoredPresets());
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
