// File > Undo: names the newest journaled run, asks, takes it back and reports.
#include "UndoCommand.h"

#include "AppState.h"
#include "ExtendedPath.h"
#include "JournalStore.h"
#include "resource.h"

static constexpr wchar_t kUndoCaption[] = L"Nomaro";
static constexpr wchar_t kUndoItem[] = L"Undo";
static constexpr wchar_t kDamagedText[] = L"The record of this run cannot be read, so it cannot be undone.";
static constexpr wchar_t kNothingText[] = L"This run changed nothing that Undo could take back.";
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

void UpdateUndoItem(HMENU menu, const std::wstring& journalFolder)
{
    if (GetMenuState(menu, IDM_UNDO, MF_BYCOMMAND) == static_cast<UINT>(-1))
        return;
    UndoOffer offer = RunInProgress() ? UndoOffer() : FindUndoOffer(journalFolder);
    std::wstring text = UndoMenuText(offer);
    MENUITEMINFOW item{};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_STRING | MIIM_STATE;
    item.fState = offer.journalPath.empty() ? MFS_GRAYED : MFS_ENABLED;
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

static std::wstring UndoQuestion(const JournalHeader& header, const UndoCounts& counts)
{
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
    if (header.state != JournalState::Ended)
        text += std::wstring(L"\n") + kInterruptedText + L"\n";
    return text + L"\n" + kChangedSinceText;
}

static std::wstring SystemMessage(DWORD error)
{
    wchar_t* buffer = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length ? std::wstring(buffer, length) : L"error " + std::to_wstring(error);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' || text.back() == L'.'))
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
        return what + L": its rename waits for the next restart";
    case UndoSkip::NotKept:
        return what + L": its bytes before the run could not be kept";
    case UndoSkip::Elsewhere:
        return what + L": it is not where Nomaro keeps its numbering memory now";
    case UndoSkip::Failed:
        break;
    }
    return what + L": " + SystemMessage(problem.error);
}

static std::wstring ReportText(const UndoReport& report)
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

void RunUndo(HWND window, const std::wstring& journalFolder)
{
    // The run in progress journals itself and would change what is taken back.
    if (RunInProgress())
        return;
    UndoOffer offer = FindUndoOffer(journalFolder);
    if (offer.journalPath.empty())
        return;
    RunJournalData journal;
    if (!LoadJournal(offer.journalPath, journal)) {
        MessageBoxW(window, kDamagedText, kUndoCaption, MB_ICONWARNING | MB_OK);
        RemoveJournal(offer.journalPath);
        return;
    }
    UndoCounts counts = CountUndo(journal);
    if (!counts.Any()) {
        MessageBoxW(window, kNothingText, kUndoCaption, MB_ICONINFORMATION | MB_OK);
        RemoveJournal(offer.journalPath);
        return;
    }
    if (MessageBoxW(window, UndoQuestion(journal.header, counts).c_str(), kUndoCaption, MB_ICONQUESTION | MB_YESNO) != IDYES)
        return;

    HCURSOR previousCursor = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    UndoTarget target;
    target.historyFile = History ? History->filePath : std::wstring();
    UndoReport report = UndoJournal(journal, target);
    // Undone: the next older run is the one Undo offers now.
    RemoveJournal(offer.journalPath);
    // The history in memory would otherwise be saved over the restored file at the next run's end.
    if (report.historyRestored && History)
        History = LoadHistory(StartDirectory);
    SetCursor(previousCursor);
    MessageBoxW(window, ReportText(report).c_str(), kUndoCaption,
                (report.notUndone.empty() ? MB_ICONINFORMATION : MB_ICONWARNING) | MB_OK);
}
