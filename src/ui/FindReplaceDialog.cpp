// The Find and Replace dialog: the texts and options, a plan worked out in the background after
// each pause in typing and shown in the plan list, and Rename or Close.
#include "FindReplaceDialog.h"

#include "DialogDpi.h"
#include "KeyboardCues.h"
#include "PlanListDialog.h"
#include "ReplacePlanner.h"
#include "UniqueHandle.h"
#include "WindowPlacement.h"
#include "WindowText.h"
#include "resource.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <iterator>

namespace {

constexpr UINT kPlanReadyMessage = WM_APP + 1;
// wParam files of lParam read: the planner is reading what the files hold.
constexpr UINT kReadingMessage = WM_APP + 2;
constexpr UINT_PTR kReplanTimer = 1;
constexpr UINT_PTR kBusyTimer = 2;
// A plan is asked for once typing pauses this long: a keystroke within it costs nothing (and one
// after it only abandons the plan being worked out, on the planner), and the list follows the
// typing within 0.3 s even for 100,000 entries.
constexpr UINT kTypingPauseMs = 100;
// A plan that takes longer than this is announced in the summary line.
constexpr UINT kBusyNoticeMs = 500;
constexpr wchar_t kBusyText[] = L"Working out the new names...";
constexpr wchar_t kReadingText[] = L"Reading photo and music details: ";
constexpr wchar_t kPresetExistsText[] = L"A preset of that name exists. Replace it?";
constexpr wchar_t kPresetDeleteText[] = L"Delete the preset \"";
constexpr wchar_t kPresetNameText[] = L"A preset's name cannot be empty or hold a backslash.";
constexpr wchar_t kPresetNotSavedText[] = L"The preset could not be saved.";
constexpr wchar_t kPresetCaption[] = L"Find and Replace";
// A registry key's name is at most 255 characters.
constexpr size_t kLongestPresetName = 255;

// In the order of ReplaceScope and TextFormat.
constexpr const wchar_t* kApplyToTexts[] = {L"Name without extension", L"Extension only", L"Whole name"};
constexpr const wchar_t* kFormatTexts[] = {L"None", L"lowercase", L"UPPERCASE", L"Title Case", L"Capitalize first letter"};
// In the order of ReplaceOrder.
constexpr const wchar_t* kOrderTexts[] = {L"Name", L"Date taken", L"Date modified", L"Date created", L"Size", L"Album order"};
static_assert(std::size(kOrderTexts) == kReplaceOrderCount);

constexpr int kOptionBoxes[] = {IDC_REPLACE_REGEX,      IDC_REPLACE_MATCH_CASE, IDC_REPLACE_ALL,
                                IDC_REPLACE_FILES,      IDC_REPLACE_FOLDERS,    IDC_REPLACE_SUBFOLDERS,
                                IDC_REPLACE_HIDDEN,     IDC_REPLACE_DESCENDING, IDC_REPLACE_RESTART,
                                IDC_REPLACE_TAKEN_FALLBACK};

// The controls that follow the dialog's lower right corner when it is resized.
constexpr ControlAnchor kAnchors[] = {
    {IDC_REPLACE_SEARCH, Widens},         {IDC_REPLACE_ERROR, Widens},  {IDC_REPLACE_TEXT, Widens},
    {IDC_REPLACE_TEXT_ERROR, Widens},
    {IDC_REPLACE_SUMMARY, Widens},        {IDC_REPLACE_LIST, Widens | Heightens},
    {IDC_REPLACE_CHANGES_ONLY, MovesDown}, {IDOK, MovesRight | MovesDown}, {IDCANCEL, MovesRight | MovesDown},
};

struct DialogState {
    std::shared_ptr<const RunPlan> collected;
    FindReplaceChoices* choices = nullptr;
    const FindReplaceRefresh* refresh = nullptr;
    RunPlan* chosen = nullptr;
    std::unique_ptr<ReplacePlanner> planner;
    // The window the planner tells of a finished plan; none before it is made and after it is gone.
    std::atomic<HWND> window{nullptr};
    PlanListDialog frame;
    const FindReplacePresets* presets = nullptr;
    std::unique_ptr<RunPlan> plan; // the plan shown
    std::vector<std::uint32_t> order; // its indexes in the order the list shows them
    std::uint64_t planSelection = 0; // the planner's number of the entries it plans
    bool stale = true;             // the texts or options changed since the plan shown was asked for
};

// The dialog F5 walks the tree again for; none while it is not shown.
HWND RefreshTarget = nullptr;

DialogState* StateOf(HWND dialog)
{
    return reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

bool IsChecked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void Check(HWND dialog, int id, bool checked)
{
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

unsigned ChosenIndex(HWND dialog, int id)
{
    LRESULT index = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? 0u : static_cast<unsigned>(index);
}

template <size_t N>
void FillList(HWND dialog, int id, const wchar_t* const (&texts)[N], unsigned chosen)
{
    for (const wchar_t* text : texts)
        SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, chosen < N ? chosen : 0, 0);
}

ReplaceRule ReadRule(HWND dialog)
{
    ReplaceRule rule;
    rule.search = GetDlgItemTextString(dialog, IDC_REPLACE_SEARCH);
    rule.replacement = GetDlgItemTextString(dialog, IDC_REPLACE_TEXT);
    rule.regex = IsChecked(dialog, IDC_REPLACE_REGEX);
    rule.matchCase = IsChecked(dialog, IDC_REPLACE_MATCH_CASE);
    rule.replaceAll = IsChecked(dialog, IDC_REPLACE_ALL);
    rule.scope = static_cast<ReplaceScope>(ChosenIndex(dialog, IDC_REPLACE_APPLY_TO));
    rule.format = static_cast<TextFormat>(ChosenIndex(dialog, IDC_REPLACE_FORMAT));
    rule.modifiedForTaken = IsChecked(dialog, IDC_REPLACE_TAKEN_FALLBACK);
    return rule;
}

ReplaceOrdering ReadOrdering(HWND dialog)
{
    ReplaceOrdering ordering;
    ordering.by = static_cast<ReplaceOrder>(std::min(ChosenIndex(dialog, IDC_REPLACE_ORDER), kReplaceOrderCount - 1));
    ordering.descending = IsChecked(dialog, IDC_REPLACE_DESCENDING);
    ordering.restartPerFolder = IsChecked(dialog, IDC_REPLACE_RESTART);
    return ordering;
}

ReplaceSelection ReadSelection(HWND dialog)
{
    ReplaceSelection selection;
    selection.files = IsChecked(dialog, IDC_REPLACE_FILES);
    selection.folders = IsChecked(dialog, IDC_REPLACE_FOLDERS);
    selection.subfolders = IsChecked(dialog, IDC_REPLACE_SUBFOLDERS);
    selection.hidden = IsChecked(dialog, IDC_REPLACE_HIDDEN);
    return selection;
}

void ShowChoices(HWND dialog, const FindReplaceChoices& choices)
{
    for (const auto& [id, texts] : {std::make_pair(IDC_REPLACE_SEARCH, &choices.searches),
                                    std::make_pair(IDC_REPLACE_TEXT, &choices.replacements)}) {
        for (const std::wstring& text : *texts)
            SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    const ReplaceRule& options = choices.options;
    Check(dialog, IDC_REPLACE_REGEX, options.regex);
    Check(dialog, IDC_REPLACE_MATCH_CASE, options.matchCase);
    Check(dialog, IDC_REPLACE_ALL, options.replaceAll);
    Check(dialog, IDC_REPLACE_FILES, choices.selection.files);
    Check(dialog, IDC_REPLACE_FOLDERS, choices.selection.folders);
    Check(dialog, IDC_REPLACE_SUBFOLDERS, choices.selection.subfolders);
    Check(dialog, IDC_REPLACE_HIDDEN, choices.selection.hidden);
    FillList(dialog, IDC_REPLACE_APPLY_TO, kApplyToTexts, static_cast<unsigned>(options.scope));
    FillList(dialog, IDC_REPLACE_FORMAT, kFormatTexts, static_cast<unsigned>(options.format));
    Check(dialog, IDC_REPLACE_TAKEN_FALLBACK, options.modifiedForTaken);
    FillList(dialog, IDC_REPLACE_ORDER, kOrderTexts, static_cast<unsigned>(choices.ordering.by));
    Check(dialog, IDC_REPLACE_DESCENDING, choices.ordering.descending);
    Check(dialog, IDC_REPLACE_RESTART, choices.ordering.restartPerFolder);
    // The list shows what changes; the rest is counted in the summary line.
    Check(dialog, IDC_REPLACE_CHANGES_ONLY, true);
}

// Puts text first in a list of recent texts, once; an empty text changes nothing. Whoever keeps the
// list keeps as many as it likes.
void RememberRecentText(std::vector<std::wstring>& recent, const std::wstring& text)
{
    if (text.empty())
        return;
    recent.erase(std::remove(recent.begin(), recent.end(), text), recent.end());
    recent.insert(recent.begin(), text);
}

// The texts used, the options and the size, for the next time.
void KeepChoices(HWND dialog, FindReplaceChoices& choices)
{
    ReplaceRule rule = ReadRule(dialog);
    RememberRecentText(choices.searches, rule.search);
    RememberRecentText(choices.replacements, rule.replacement);
    rule.search.clear();
    rule.replacement.clear();
    choices.options = rule;
    choices.selection = ReadSelection(dialog);
    choices.ordering = ReadOrdering(dialog);
    // A maximised dialog keeps the size it had before.
    if (!IsZoomed(dialog) && !IsIconic(dialog))
        choices.size = ClientSizeInDialogUnits(dialog);
}

// Rename stands for the plan shown, and only when it changes something.
void EnableRename(HWND dialog, bool enable)
{
    HWND rename = GetDlgItem(dialog, IDOK);
    if (!enable && GetFocus() == rename)
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_REPLACE_SEARCH)), TRUE);
    EnableWindow(rename, enable);
}

bool HasChanges(const DialogState& state)
{
    return state.plan && !state.stale && SummarizePlan(*state.plan).toRename > 0;
}

void RequestPlan(HWND dialog, DialogState& state)
{
    KillTimer(dialog, kReplanTimer);
    state.planner->Request(ReadRule(dialog), ReadSelection(dialog), ReadOrdering(dialog));
    SetTimer(dialog, kBusyTimer, kBusyNoticeMs, nullptr);
}

// The plan shown no longer matches the texts and options: a new one is asked for once typing pauses.
void OnChoicesChanged(HWND dialog, DialogState& state)
{
    state.planner->Abandon();
    state.stale = true;
    EnableRename(dialog, false);
    KillTimer(dialog, kBusyTimer);
    SetTimer(dialog, kReplanTimer, kTypingPauseMs, nullptr);
}

void ShowPlan(HWND dialog, DialogState& state, ReplacePlanner::Result result)
{
    KillTimer(dialog, kBusyTimer);
    std::unique_ptr<RunPlan> shown = std::move(result.plan);
    // The rows keep pointing at the order: it is the dialog's from here on (nothing is drawn before
    // the list is told of the new plan on the next line).
    state.order = std::move(result.order);
    state.frame.Rows()->Show(shown.get(), IsChecked(dialog, IDC_REPLACE_CHANGES_ONLY), &state.order);
    // Given back only now, the list showed the old plan until the line above: the planner plans the
    // next one in its strings.
    std::unique_ptr<RunPlan> old = std::move(state.plan);
    state.plan = std::move(shown);
    if (old)
        state.planner->Recycle(std::move(old), state.planSelection);
    state.planSelection = result.selection;
    state.stale = false;
    SetDlgItemTextW(dialog, IDC_REPLACE_ERROR, result.error.c_str());
    SetDlgItemTextW(dialog, IDC_REPLACE_TEXT_ERROR, result.replacementError.c_str());
    bool usable = result.error.empty() && result.replacementError.empty();
    SetDlgItemTextW(dialog, IDC_REPLACE_SUMMARY, usable ? PlanSummaryText(*state.plan).c_str() : L"");
    EnableRename(dialog, HasChanges(state));
}

void OnRefresh(HWND dialog, DialogState& state)
{
    if (!*state.refresh)
        return;
    state.planner->Abandon();
    state.stale = true;
    EnableRename(dialog, false);
    std::shared_ptr<const RunPlan> tree = (*state.refresh)(dialog);
    if (!tree) {
        auto none = std::make_shared<RunPlan>();
        none->mode = ModeFindReplace;
        tree = std::move(none);
    }
    state.collected = tree;
    state.planner->SetTree(std::move(tree));
    RequestPlan(dialog, state);
}

void OnRename(HWND dialog, DialogState& state)
{
    // Enter reaches here also while the plan shown is out of date or changes nothing.
    if (!HasChanges(state))
        return;
    KeepChoices(dialog, *state.choices);
    state.frame.Rows()->Show(nullptr, false);
    state.order.clear();
    *state.chosen = std::move(*state.plan);
    EndDialog(dialog, IDOK);
}

// "3,412": a count as the user's locale groups its digits.
std::wstring CountText(size_t count)
{
    std::wstring digits = std::to_wstring(count);
    NUMBERFMTW format{};
    wchar_t decimal[] = L".";
    wchar_t thousand[8] = L",";
    GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, thousand, static_cast<int>(std::size(thousand)));
    format.Grouping = 3;
    format.lpDecimalSep = decimal;
    format.lpThousandSep = thousand;
    wchar_t grouped[64] = {};
    if (GetNumberFormatEx(LOCALE_NAME_USER_DEFAULT, 0, digits.c_str(), &format, grouped, static_cast<int>(std::size(grouped))) > 0)
        return grouped;
    return digits;
}

// "Reading photo and music details: 3,412 of 10,000", while the plan asked for waits for them.
BOOL OnReading(HWND dialog, size_t done, size_t total)
{
    DialogState* state = StateOf(dialog);
    if (!state || !state->stale)
        return TRUE;
    KillTimer(dialog, kBusyTimer);
    std::wstring text = kReadingText + CountText(done) + L" of " + CountText(total);
    SetDlgItemTextW(dialog, IDC_REPLACE_SUMMARY, text.c_str());
    return TRUE;
}

bool HasPresets(const DialogState& state)
{
    return state.presets && state.presets->names;
}

// The preset list, with name chosen when it is one of them.
void FillPresets(HWND dialog, const DialogState& state, const std::wstring& chosen)
{
    HWND list = GetDlgItem(dialog, IDC_REPLACE_PRESET);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    if (HasPresets(state)) {
        for (const std::wstring& name : state.presets->names())
            SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    LRESULT found = chosen.empty() ? CB_ERR : SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                          reinterpret_cast<LPARAM>(chosen.c_str()));
    SendMessageW(list, CB_SETCURSEL, found == CB_ERR ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(found), 0);
    bool any = SendMessageW(list, CB_GETCOUNT, 0, 0) > 0;
    EnableWindow(list, any);
    EnableWindow(GetDlgItem(dialog, IDC_REPLACE_PRESET_DELETE), any && found != CB_ERR);
    EnableWindow(GetDlgItem(dialog, IDC_REPLACE_PRESET_SAVE), HasPresets(state));
}

std::wstring ChosenPreset(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_REPLACE_PRESET);
    LRESULT index = SendMessageW(list, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return std::wstring();
    LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR)
        return std::wstring();
    std::wstring name(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(name.data()));
    name.resize(static_cast<size_t>(length));
    return name;
}

void SelectIndex(HWND dialog, int id, unsigned index)
{
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, index, 0);
}

// The preset's texts and options in the controls, and a plan of them.
void OnPresetChosen(HWND dialog, DialogState& state)
{
    FindReplacePreset preset;
    std::wstring name = ChosenPreset(dialog);
    if (name.empty() || !state.presets->load || !state.presets->load(name, preset))
        return;
    SetDlgItemTextW(dialog, IDC_REPLACE_SEARCH, preset.rule.search.c_str());
    SetDlgItemTextW(dialog, IDC_REPLACE_TEXT, preset.rule.replacement.c_str());
    Check(dialog, IDC_REPLACE_REGEX, preset.rule.regex);
    Check(dialog, IDC_REPLACE_MATCH_CASE, preset.rule.matchCase);
    Check(dialog, IDC_REPLACE_ALL, preset.rule.replaceAll);
    Check(dialog, IDC_REPLACE_TAKEN_FALLBACK, preset.rule.modifiedForTaken);
    Check(dialog, IDC_REPLACE_FILES, preset.selection.files);
    Check(dialog, IDC_REPLACE_FOLDERS, preset.selection.folders);
    Check(dialog, IDC_REPLACE_SUBFOLDERS, preset.selection.subfolders);
    Check(dialog, IDC_REPLACE_HIDDEN, preset.selection.hidden);
    SelectIndex(dialog, IDC_REPLACE_APPLY_TO, static_cast<unsigned>(preset.rule.scope));
    SelectIndex(dialog, IDC_REPLACE_FORMAT, static_cast<unsigned>(preset.rule.format));
    SelectIndex(dialog, IDC_REPLACE_ORDER, static_cast<unsigned>(preset.ordering.by));
    Check(dialog, IDC_REPLACE_DESCENDING, preset.ordering.descending);
    Check(dialog, IDC_REPLACE_RESTART, preset.ordering.restartPerFolder);
    EnableWindow(GetDlgItem(dialog, IDC_REPLACE_PRESET_DELETE), TRUE);
    OnChoicesChanged(dialog, state);
}

INT_PTR CALLBACK PresetNameProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    try {
        switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            SendDlgItemMessageW(dialog, IDC_PRESET_NAME, EM_LIMITTEXT, kLongestPresetName, 0);
            SetDlgItemTextW(dialog, IDC_PRESET_NAME, reinterpret_cast<std::wstring*>(lParam)->c_str());
            TrackDialogDpi(dialog);
            CentreOverOwner(dialog, GetWindow(dialog, GW_OWNER), HWND_TOP, 0);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                *reinterpret_cast<std::wstring*>(GetWindowLongPtrW(dialog, DWLP_USER)) =
                    GetDlgItemTextString(dialog, IDC_PRESET_NAME);
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
        }
    } catch (...) {
        return FALSE;
    }
}

// The name typed for a preset, without the blanks at its ends that no one sees in the list.
std::wstring TrimmedName(const std::wstring& typed)
{
    size_t first = typed.find_first_not_of(L' ');
    if (first == std::wstring::npos)
        return std::wstring();
    return typed.substr(first, typed.find_last_not_of(L' ') - first + 1);
}

// Save...: asks a name, and keeps everything the dialog holds under it.
void OnSavePreset(HWND dialog, DialogState& state)
{
    if (!HasPresets(state) || !state.presets->save)
        return;
    std::wstring name = ChosenPreset(dialog);
    for (;;) {
        if (DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PRESET_NAME), dialog, PresetNameProc,
                            reinterpret_cast<LPARAM>(&name)) != IDOK)
            return;
        name = TrimmedName(name);
        if (!name.empty() && name.find(L'\\') == std::wstring::npos)
            break;
        MessageBoxW(dialog, kPresetNameText, kPresetCaption, MB_OK | MB_ICONWARNING);
    }
    // The registry's key names match whatever their letters' case: "trip" is the preset "Trip".
    std::vector<std::wstring> names = state.presets->names();
    auto same = std::find_if(names.begin(), names.end(), [&name](const std::wstring& kept) {
        return CompareStringOrdinal(kept.c_str(), -1, name.c_str(), -1, TRUE) == CSTR_EQUAL;
    });
    if (same != names.end()) {
        if (MessageBoxW(dialog, kPresetExistsText, kPresetCaption, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
        name = *same;
    }
    FindReplacePreset preset{ReadRule(dialog), ReadSelection(dialog), ReadOrdering(dialog)};
    if (!state.presets->save(name, preset))
        MessageBoxW(dialog, kPresetNotSavedText, kPresetCaption, MB_OK | MB_ICONWARNING);
    FillPresets(dialog, state, name);
}

void OnDeletePreset(HWND dialog, DialogState& state)
{
    std::wstring name = ChosenPreset(dialog);
    if (name.empty() || !HasPresets(state) || !state.presets->remove)
        return;
    std::wstring question = kPresetDeleteText + name + L"\"?";
    if (MessageBoxW(dialog, question.c_str(), kPresetCaption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    state.presets->remove(name);
    FillPresets(dialog, state, std::wstring());
    SetFocus(GetDlgItem(dialog, IDC_REPLACE_PRESET_SAVE));
}

BOOL OnInitDialog(HWND dialog, DialogState* state)
{
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    RefreshTarget = dialog;
    ShowChoices(dialog, *state->choices);
    FillPresets(dialog, *state, std::wstring());
    TrackDialogDpi(dialog);
    ShowKeyboardCues(dialog);
    state->frame.Record(dialog, kAnchors, std::size(kAnchors));
    SetClientSizeInDialogUnits(dialog, state->choices->size, state->frame.MinimumTrackSize(dialog));
    state->frame.PlaceNow(dialog);
    // Placed first: the columns are fitted to the list's width.
    state->frame.MakeRows(dialog, IDC_REPLACE_LIST);
    CentreOverOwner(dialog, GetWindow(dialog, GW_OWNER), HWND_TOP, 0);
    EnableRename(dialog, false);
    // The first plan was asked for before the window was made; it may be finished already.
    state->window = dialog;
    SetTimer(dialog, kBusyTimer, kBusyNoticeMs, nullptr);
    PostMessageW(dialog, kPlanReadyMessage, 0, 0);
    SetFocus(GetDlgItem(dialog, IDC_REPLACE_SEARCH));
    // FALSE: the focus stays in the search box set above.
    return FALSE;
}

BOOL OnCommand(HWND dialog, int id, int code)
{
    DialogState* state = StateOf(dialog);
    if (!state || !state->planner)
        return FALSE;
    switch (id) {
    case IDOK:
        OnRename(dialog, *state);
        return TRUE;
    case IDCANCEL: // Escape and the close box too
        KeepChoices(dialog, *state->choices);
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    case IDC_REPLACE_SEARCH:
    case IDC_REPLACE_TEXT:
        if (code == CBN_EDITCHANGE || code == CBN_SELCHANGE)
            OnChoicesChanged(dialog, *state);
        return TRUE;
    case IDC_REPLACE_APPLY_TO:
    case IDC_REPLACE_FORMAT:
    case IDC_REPLACE_ORDER:
        if (code == CBN_SELCHANGE)
            OnChoicesChanged(dialog, *state);
        return TRUE;
    case IDC_REPLACE_PRESET:
        if (code == CBN_SELCHANGE)
            OnPresetChosen(dialog, *state);
        return TRUE;
    case IDC_REPLACE_PRESET_SAVE:
        OnSavePreset(dialog, *state);
        return TRUE;
    case IDC_REPLACE_PRESET_DELETE:
        OnDeletePreset(dialog, *state);
        return TRUE;
    case IDC_REPLACE_CHANGES_ONLY:
        state->frame.Rows()->Show(state->plan.get(), IsChecked(dialog, IDC_REPLACE_CHANGES_ONLY), &state->order);
        return TRUE;
    case IDC_REPLACE_REFRESH:
        OnRefresh(dialog, *state);
        return TRUE;
    default:
        if (std::find(std::begin(kOptionBoxes), std::end(kOptionBoxes), id) != std::end(kOptionBoxes)) {
            if (code == BN_CLICKED)
                OnChoicesChanged(dialog, *state);
            return TRUE;
        }
        return FALSE;
    }
}

BOOL OnTimer(HWND dialog, UINT_PTR timer)
{
    DialogState* state = StateOf(dialog);
    if (!state || !state->planner)
        return FALSE;
    if (timer == kReplanTimer) {
        RequestPlan(dialog, *state);
    } else if (timer == kBusyTimer) {
        KillTimer(dialog, kBusyTimer);
        SetDlgItemTextW(dialog, IDC_REPLACE_SUMMARY, kBusyText);
    }
    return TRUE;
}

BOOL OnPlanReady(HWND dialog)
{
    DialogState* state = StateOf(dialog);
    if (!state || !state->planner)
        return TRUE;
    std::optional<ReplacePlanner::Result> result = state->planner->TakeResult();
    if (result)
        ShowPlan(dialog, *state, std::move(*result));
    return TRUE;
}

// The list, the size and the DPI are the frame's.
BOOL OnFrameMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogState* state = StateOf(dialog);
    return PlanListDialog::Route(state ? &state->frame : nullptr, dialog, message, wParam, lParam);
}

// The planner goes with the window: it must not tell a window that is gone.
BOOL OnDestroy(HWND dialog)
{
    if (DialogState* state = StateOf(dialog)) {
        state->window = nullptr;
        state->planner.reset();
    }
    RefreshTarget = nullptr;
    return FALSE;
}

// Routes only. Planning, describing rows and filtering allocate; should memory run out, the dialog
// shows less rather than let an exception through the system's code.
INT_PTR CALLBACK FindReplaceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    try {
        switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog(dialog, reinterpret_cast<DialogState*>(lParam));
        case WM_COMMAND:
            return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        case WM_TIMER:
            return OnTimer(dialog, static_cast<UINT_PTR>(wParam));
        case kPlanReadyMessage:
            return OnPlanReady(dialog);
        case kReadingMessage:
            return OnReading(dialog, static_cast<size_t>(wParam), static_cast<size_t>(lParam));
        case WM_NOTIFY:
        case WM_SIZE:
        case WM_GETMINMAXINFO:
        case WM_DPICHANGED:
            return OnFrameMessage(dialog, message, wParam, lParam);
        case WM_DESTROY:
            return OnDestroy(dialog);
        default:
            return FALSE;
        }
    } catch (...) {
        return FALSE;
    }
}

// F5 walks the tree again. The dialog's own loop offers every message to this filter first; the
// focused control would swallow the key otherwise.
LRESULT CALLBACK RefreshKeyFilter(int code, WPARAM wParam, LPARAM lParam) noexcept
{
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && message && message->message == WM_KEYDOWN && message->wParam == VK_F5 &&
        RefreshTarget && (message->hwnd == RefreshTarget || IsChild(RefreshTarget, message->hwnd))) {
        PostMessageW(RefreshTarget, WM_COMMAND, IDC_REPLACE_REFRESH, 0);
        return TRUE;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

bool ShowFindReplaceDialog(HWND owner, std::shared_ptr<const RunPlan> collected, FindReplaceChoices& choices,
                           const FindReplaceRefresh& refresh, RunPlan& chosen, const FindReplacePresets& presets)
{
    InitPlanListControls();
    DialogState state;
    state.collected = std::move(collected);
    state.choices = &choices;
    state.refresh = &refresh;
    state.chosen = &chosen;
    state.presets = &presets;
    // The first plan, of no search text and the remembered options, is worked out while the window
    // is made: the list shows it as soon as it can.
    state.planner = std::make_unique<ReplacePlanner>(
        [&state] {
            if (HWND window = state.window.load())
                PostMessageW(window, kPlanReadyMessage, 0, 0);
        },
        [&state](size_t done, size_t total) {
            if (HWND window = state.window.load())
                PostMessageW(window, kReadingMessage, static_cast<WPARAM>(done), static_cast<LPARAM>(total));
        });
    state.planner->SetTree(state.collected);
    ReplaceRule first = choices.options;
    first.search.clear();
    first.replacement.clear();
    state.planner->Request(first, choices.selection, choices.ordering);
    HHOOK filter = SetWindowsHookExW(WH_MSGFILTER, RefreshKeyFilter, nullptr, GetCurrentThreadId());
    ScopeExit unhook([filter] {
        if (filter)
            UnhookWindowsHookEx(filter);
    });
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_FIND_REPLACE), owner, FindReplaceDialogProc,
                           reinterpret_cast<LPARAM>(&state)) == IDOK;
}
