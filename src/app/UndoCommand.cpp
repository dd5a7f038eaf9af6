// File > Undo: names the newest journaled run, asks, takes it back and reports.
#include "UndoCommand.h"

#include "AppState.h"
#include "ExtendedPath.h"
#include "BatchUndo.h"
#include "MessagePump.h"
#include "RunFrame.h"
#include "Win32Text.h"
#include "resource.h"

static constexpr wchar_t kUndoCaption[] = L"Nomaro";
static constexpr wchar_t kUndoItem[] = L"Undo";
static constexpr wchar_t kDamagedText[] = L"The record of this run cannot be read, so it cannot be undone.";
static constexpr wchar_t kNothingText[] = L"This run changed nothing that Undo could take back.";
static constexpr wchar_t kNothingReadableText[] =
    L"Nothing that could be read in the record of this run can be taken back.";
static constexpr wchar_t kPartlyReadText[] = L"Part of the record of this run could not be read:";
static constexpr wchar_t kInterruptedText[] =
    L"This run did not finish. Undo takes back what it finds was done on the disk.";
static constexpr wchar_t kChangedSinceText[] = L"Entries changed since the run are left as they are.";
// A folder longer than this is shortened in the middle in the menu.
static constexpr size_t kMenuFolderLength = 60;
// The report names this many of the steps that were not undone.
static constexpr size_t kReportedProblems = 10;

// The operations as the mode panel names them.
static const wchar_t* ModeName(OperationMode mode)
{
    switch (mode) {
    case ModeLower:
        return L"Lower";
    case ModeUpper:
        return L"Upper";
    case ModeFavorites:
        return L"Favorites";
    case ModeNumber:
        return L"Number";
    case ModeReadOnly:
        return L"Read-Only";
    case ModeListing:
        return L"Listing";
    case ModeFindReplace:
        return L"Find and Replace";
    }
    return L"";
}

static std::wstring ShortenedFolder(const std::wstring& folder)
{
    if (folder.size() <= kMenuFolderLength)
        return folder;
    size_t head = kMenuFolderLength / 3;
    size_t tail = kMenuFolderLength - head - 3;
    return folder.substr(0, head) + L"..." + folder.substr(folder.size() - tail);
}

// A menu shows "&" as the underline of the next letter; "&&" is an ampersand.
static std::wstring MenuLiteral(const std::wstring& text)
{
    std::wstring out;
    for (wchar_t unit : text) {
        out += unit;
        if (unit == L'&')
            out += L'&';
    }
    return out;
}

std::wstring UndoMenuText(const UndoOffer& offer)
{
    if (offer.journalPath.empty())
        return kUndoItem;
    return std::wstring(kUndoItem) + L" " + ModeName(offer.header.mode) + L" in " +
           MenuLiteral(ShortenedFolder(DisplayPath(offer.header.root)));
}

static bool RunInProgress()
{
    return BatchBusy || StartInProgress;
}

// A journal found unreadable that is still under its journal name: Undo sets it aside and says
// where it is, even when there is no run to offer.
static bool AnyNotSetAside(const UndoOffer& offer)
{
    for (const UnreadableJournal& journal : offer.unreadable) {
        if (!journal.setAside)
            return true;
    }
    return false;
}

void UpdateUndoItem(HMENU menu, const std::wstring& journalFolder)
{
    if (GetMenuState(menu, IDM_UNDO, MF_BYCOMMAND) == static_cast<UINT>(-1))
        return;
    UndoOffer offer = RunInProgress() ? UndoOffer() : FindUndoOffer(journalFolder);
    std::wstring text = UndoMenuText(offer);
    MENUITEMINFOW item{};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_STRING | MIIM_STATE;
    item.fState = offer.journalPath.empty() && !AnyNotSetAside(offer) ? MFS_GRAYED : MFS_ENABLED;
    item.dwTypeData = text.data();
    SetMenuItemInfoW(menu, IDM_UNDO, FALSE, &item);
}

// "05/11/2012 09:30" in the user's own formats.
static std::wstring LocalTimeText(const FILETIME& utc)
{
    SYSTEMTIME universal;
    SYSTEMTIME local;
    if (!FileTimeToSystemTime(&utc, &universal) || !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        return std::wstring();
    wchar_t date[128] = L"";
    wchar_t time[128] = L"";
    GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, date, 128);
    GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &local, nullptr, time, 128);
    return std::wstring(date) + L" " + time;
}

// What of the record could not be read, a line for each part, and what that means.
static std::wstring DamageText(const JournalDamage& damage)
{
    std::wstring text = kPartlyReadText;
    if (damage.cutShort)
        text += L"\n- it ends part way: what came after could not be read";
    if (damage.memoryUnreadable)
        text += L"\n- the numbering memory and the Favorites menu order as they were before the run: they are not restored";
    if (damage.entriesUnreadable)
        text += L"\n- " + std::to_wstring(damage.entriesUnreadable) +
                (damage.entriesUnreadable == 1 ? L" entry: its changes are not undone" : L" entries: their changes are not undone");
    if (damage.stepsUnreadable)
        text += L"\n- " + std::to_wstring(damage.stepsUnreadable) +
                (damage.stepsUnreadable == 1 ? L" change: it is not undone" : L" changes: they are not undone");
    if (damage.endUnreadable)
        text += L"\n- how the run ended: Undo takes back what it finds was done on the disk";
    return text;
}

// The newer runs whose records could not be read, and where they are kept.
static std::wstring UnreadableText(const std::vector<UnreadableJournal>& unreadable)
{
    std::wstring text = unreadable.size() == 1
                            ? std::wstring(L"The record of a newer run could not be read, so that run cannot be undone. It is kept as")
                            : L"The records of " + std::to_wstring(unreadable.size()) +
                                  L" newer runs could not be read, so those runs cannot be undone. They are kept as";
    for (const UnreadableJournal& journal : unreadable)
        text += L"\n" + journal.path;
    return text;
}

static std::wstring UndoQuestion(const UndoOffer& offer, const RunJournalData& journal, const UndoCounts& counts)
{
    const JournalHeader& header = journal.header;
    std::wstring text = std::wstring(kUndoItem) + L" " + ModeName(header.mode) + L" in " + DisplayPath(header.root) +
                        L",\nthe run of " + LocalTimeText(header.time) + L"?\n\n";
    if (counts.renamed)
        text += L"Entries to get their old names back: " + std::to_wstring(counts.renamed) + L"\n";
    if (counts.tags)
        text += L"MP3 tags to take back: " + std::to_wstring(counts.tags) + L"\n";
    if (counts.readOnlyMarks)
        text += L"Read-only marks to put back: " + std::to_wstring(counts.readOnlyMarks) + L"\n";
    if (counts.memoryFiles)
        text += L"The numbering memory goes back to how it was before the run.\n";
    if (counts.favoritesOrder)
        text += L"The Favorites menu order goes back to how it was before the run.\n";
    // A run whose end could not be read is read as one that never ended, which it may not be.
    if (header.state != JournalState::Ended && !journal.damage.endUnreadable)
        text += std::wstring(L"\n") + kInterruptedText + L"\n";
    if (journal.damage.Any())
        text += L"\n" + DamageText(journal.damage) + L"\nThe rest is undone as far as it is safe.\n";
    text += L"\n" + std::wstring(kChangedSinceText);
    if (!offer.unreadable.empty())
        text += L"\n\n" + UnreadableText(offer.unreadable);
    return text;
}

// The system's text for an error, as the end of a line of the report.
static std::wstring ErrorText(DWORD error)
{
    std::wstring text = SystemErrorText(error);
    while (!text.empty() && text.back() == L'.')
        text.pop_back();
    return text;
}

static std::wstring ProblemText(const UndoProblem& problem)
{
    std::wstring what = problem.item == UndoItem::FavoritesOrder ? L"The Favorites menu order" : DisplayPath(problem.path);
    switch (problem.reason) {
    case UndoSkip::Missing:
        return what + L": it is no longer where the run left it";
    case UndoSkip::Changed:
        return what + L": it was changed since the run";
    case UndoSkip::OldNameTaken:
        return what + L": its old name is taken";
    case UndoSkip::AwaitingRestart:
        return what + L": it will still be renamed at the next restart, since its rename could not be cancelled (" +
               (problem.error == ERROR_ACCESS_DENIED ? std::wstring(L"that needs an administrator") : ErrorText(problem.error)) +
               L")";
    case UndoSkip::NotKept:
        return what + L": its bytes before the run could not be kept";
    case UndoSkip::Elsewhere:
        return what + L": it is not where Nomaro keeps its numbering memory now";
    case UndoSkip::Failed:
        break;
    }
    return what + L": " + ErrorText(problem.error);
}

std::wstring KeptAsText(const std::wstring& keptAs)
{
    return L"The record is kept as\n" + keptAs;
}

std::wstring PartNotReadText(const wchar_t* whichRun)
{
    return std::wstring(L"Part of the record of ") + whichRun + L" run could not be read, so what it held was not undone.";
}

std::wstring UndoReportText(const UndoReport& report)
{
    std::wstring text = L"Undo is done: " + std::to_wstring(report.undone) + (report.undone == 1 ? L" step" : L" steps") +
                        L" undone";
    if (report.notUndone.empty())
        return text + L".";
    text += L", " + std::to_wstring(report.notUndone.size()) + L" not:\n";
    for (size_t i = 0; i < report.notUndone.size() && i < kReportedProblems; ++i)
        text += L"\n" + ProblemText(report.notUndone[i]);
    if (report.notUndone.size() > kReportedProblems)
        text += L"\n... and " + std::to_wstring(report.notUndone.size() - kReportedProblems) + L" more.";
    return text;
}

static void Tell(HWND window, const std::wstring& text, UINT icon)
{
    MessageBoxW(window, text.c_str(), kUndoCaption, icon | MB_OK);
}

// Tells why the newest run is not asked about; false when it is.
static bool TellNotOffered(HWND window, const PreparedUndo& undo)
{
    switch (undo.state) {
    case UndoOfferState::None:
        if (undo.newlySetAside)
            Tell(window, UnreadableText(undo.offer.unreadable), MB_ICONWARNING);
        return true;
    case UndoOfferState::Unreadable:
        Tell(window, std::wstring(kDamagedText) + L"\n\n" + KeptAsText(undo.keptAs), MB_ICONWARNING);
        return true;
    case UndoOfferState::NothingReadable:
        Tell(window,
             std::wstring(kNothingReadableText) + L"\n\n" + DamageText(undo.journal.damage) + L"\n\n" + KeptAsText(undo.keptAs),
             MB_ICONWARNING);
        return true;
    case UndoOfferState::NothingToUndo:
        Tell(window, kNothingText, MB_ICONINFORMATION);
        return true;
    case UndoOfferState::Ready:
        break;
    }
    return false;
}

static void UndoNewestRun(HWND window, const std::wstring& journalFolder)
{
    RunHooks hooks;
    hooks.keepAlive = PumpMessages;
    UndoTarget target;
    target.historyFile = History ? History->filePath : std::wstring();
    target.history = History.get();
    PreparedUndo undo = PrepareUndo(journalFolder, target, hooks);
    if (TellNotOffered(window, undo)) {
        ExecuteUndo(undo, hooks); // a run with nothing to undo leaves no journal
        return;
    }
    if (MessageBoxW(window, UndoQuestion(undo.offer, undo.journal, undo.counts).c_str(), kUndoCaption,
                    MB_ICONQUESTION | MB_YESNO) != IDYES)
        return;

    HCURSOR previousCursor = nullptr;
    hooks.changesBegin = [&previousCursor] { previousCursor = SetCursor(LoadCursorW(nullptr, IDC_WAIT)); };
    UndoOutcome outcome = ExecuteUndo(undo, hooks);
    // Undone: the next older run is the one Undo offers now.
    std::wstring text = UndoReportText(outcome);
    if (!outcome.keptAs.empty())
        text += L"\n\n" + PartNotReadText(L"this") + L" " + KeptAsText(outcome.keptAs);
    SetCursor(previousCursor);
    Tell(window, text, outcome.notUndone.empty() && outcome.keptAs.empty() ? MB_ICONINFORMATION : MB_ICONWARNING);
}

void RunUndo(HWND window, const std::wstring& journalFolder)
{
    // The run in progress journals itself and would change what is taken back.
    if (RunInProgress())
        return;
    RunExclusive(window, [&] { UndoNewestRun(window, journalFolder); });
}
