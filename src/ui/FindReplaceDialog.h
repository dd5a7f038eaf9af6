// The Find and Replace dialog (dialog resource IDD_FIND_REPLACE): what to search for in the names
// of a tree walked once, what to put instead, and the plan that makes, updated as the user types.
#pragma once

#include "ReplaceOrder.h"
#include "ReplacePlan.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// What the dialog starts with and what it keeps when it closes (the app stores it as settings).
struct FindReplaceChoices {
    std::vector<std::wstring> searches;     // the last texts searched for, the newest first
    std::vector<std::wstring> replacements; // likewise, the texts put instead
    ReplaceRule options;                    // the options; its texts are not used
    ReplaceSelection selection;
    ReplaceOrdering ordering;
    SIZE size{}; // the dialog's client size in dialog units; zero: the template's
};

// Everything the dialog holds, kept under a name the user gives it.
struct FindReplacePreset {
    ReplaceRule rule; // the texts too
    ReplaceSelection selection;
    ReplaceOrdering ordering;
};

// Where the app keeps the presets; the dialog offers none when names is empty.
struct FindReplacePresets {
    std::function<std::vector<std::wstring>()> names;
    std::function<bool(const std::wstring& name, FindReplacePreset& preset)> load;
    std::function<bool(const std::wstring& name, const FindReplacePreset& preset)> save;
    std::function<bool(const std::wstring& name)> remove;
};

// Walks the tree again (F5) while the dialog is open, with dialog as the owner of what it shows;
// none when it cannot (the user has been told why).
using FindReplaceRefresh = std::function<std::shared_ptr<const RunPlan>(HWND dialog)>;

// Shows the dialog modally over owner, planning over collected (a Find and Replace collection,
// which holds every entry of the tree). True when the user chose Rename: chosen is then exactly
// the plan shown. False for Close, Escape or the close box, and when the dialog cannot be shown.
// Either way choices gets the texts used, the options and the size.
bool ShowFindReplaceDialog(HWND owner, std::shared_ptr<const RunPlan> collected, FindReplaceChoices& choices,
                           const FindReplaceRefresh& refresh, RunPlan& chosen, const FindReplacePresets& presets = {});
