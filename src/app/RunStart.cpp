// The Start button: checks the input, freezes the panel, runs the mode and reports the end.
#include "RunStart.h"

#include "AppState.h"
#include "BatchRun.h"
#include "ExtendedPath.h"
#include "FavoritesOrder.h"
#include "FileListing.h"
#include "MessagePump.h"
#include "ModePanel.h"
#include "RunState.h"
#include "Settings.h"
#include "UniqueHandle.h"
#include "Win32Text.h"
#include "resource.h"

#include <commdlg.h>

static constexpr wchar_t kStartCaption[] = L"Nomaro";
static constexpr wchar_t kDoneCaption[] = L"Lower";
static constexpr wchar_t kNoFolderText[] =
    L"No folder has been selected. Please select a folder by dragging a folder onto the image below or by using "
    L"File->Browse...";
static constexpr wchar_t kDigitsOnlyText[] = L"Please use numbers only for the starting number.";
static constexpr wchar_t kListingNotWrittenText[] = L"The file listing could not be written to\n";
static constexpr wchar_t kFoldersOnlyText[] = L"You can only use folders for this function.";
// The wording Windows itself uses when a name holds such a character.
static constexpr wchar_t kBadNameText[] = L"A file name can't contain any of the following characters:\n\\ / : * ? \" < > |";
static constexpr wchar_t kDoneText[] = L"Done!";
static constexpr wchar_t kFavoritesDoneText[] = L"Done! You should now restart Internet Explorer.";
// What is read of the start-number field: nine digits always fit 32 bits.
static constexpr size_t kStartNumberReadLimit = 9;
static constexpr DWORD kListingFileNameCapacity = 1024;

bool IsAllDigits(const wchar_t* text)
{
    if (!text)
        return false;
    for (; *text; ++text) {
        if (*text < L'0' || *text > L'9')
            return false;
    }
    return true;
}

StartNumberText ParseStartNumber(const std::wstring& digits)
{
    StartNumberText result;
    for (wchar_t digit : digits)
        result.startNumber = result.startNumber * 10 + static_cast<std::uint32_t>(digit - L'0');
    result.numberWidth = static_cast<std::int32_t>(digits.size());
    return result;
}

bool AskListingFileName(HWND window, bool plainText, std::wstring& fileName)
{
    // One filter entry: the description, its pattern, and the closing empty pair.
    static constexpr wchar_t kTextFilter[] = L"Text File (*.txt)\0*.txt\0";
    static constexpr wchar_t kRtfFilter[] = L"Rich Text File (*.rtf)\0*.rtf\0";
    std::wstring buffer(kListingFileNameCapacity, L'\0');
    wcscpy_s(buffer.data(), buffer.size(), plainText ? L"FileList.txt" : L"FileList.rtf");

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = window;
    dialog.lpstrFilter = plainText ? kTextFilter : kRtfFilter;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = kListingFileNameCapacity;
    dialog.Flags = OFN_OVERWRITEPROMPT;
    if (!GetSaveFileNameW(&dialog))
        return false;
    fileName = buffer.c_str();
    return true;
}

void ResetFavoritesOrder()
{
    DeleteFavoritesOrder(HKEY_CURRENT_USER);
}

static void ShowStartMessage(HWND window, const wchar_t* text, UINT icon)
{
    MessageBoxW(window, text, kStartCaption, icon | MB_OK);
}

// A name text with a path character would move files into other folders, even out of the
// chosen tree, and their recorded paths would never match again; false when Start must stop.
static bool TakeNumberingName(HWND window)
{
    if (GetDlgItemTextString(window, IDC_NAME).find_first_of(L"\\/:*?\"<>|") == std::wstring::npos)
        return true;
    ShowStartMessage(window, kBadNameText, MB_ICONWARNING);
    return false;
}

// The start-number checks of a numbering run; false when Start must stop.
static bool TakeStartNumber(HWND window)
{
    std::wstring text = GetDlgItemTextString(window, IDC_START_NUMBER).substr(0, kStartNumberReadLimit);
    if (!IsAllDigits(text.c_str())) {
        ShowStartMessage(window, kDigitsOnlyText, MB_ICONWARNING);
        return false;
    }
    StartNumberText number = ParseStartNumber(text);
    CurrentRun.StartNumber = number.startNumber;
    CurrentRun.NumberWidth = number.numberWidth;
    return true;
}

bool AcceptsPath(HWND window, const StartRequest& request)
{
    if ((request.mode == ModeListing || request.mode == ModeNumber) && !request.isFolder) {
        ShowStartMessage(window, kFoldersOnlyText, MB_ICONWARNING);
        return false;
    }
    return true;
}

bool ReportRunResult(HWND window, BatchResult result, const std::wstring& folder)
{
    if (result != BatchResult::Completed) {
        ShowStartMessage(window, BatchResultMessage(result, folder).c_str(), MB_ICONWARNING);
        return false;
    }
    return true;
}

// Names the file the user chose and gives the system's reason.
static void ShowListingNotWritten(HWND window, const std::wstring& outputFile, DWORD error)
{
    std::wstring text = kListingNotWrittenText + outputFile + L"\n\n" + SystemErrorText(error);
    ShowStartMessage(window, text.c_str(), MB_ICONWARNING);
}

// Runs the mode over the folder; false when the run did not do what it was asked (the batch run
// changed nothing, or the listing was not written). Then the user has been told why, and neither
// the Favorites order is reset nor "Done!" claimed.
static bool RunMode(HWND window, const StartRequest& request)
{
    // A refused path still ends with "Done!", as Start always has.
    if (!AcceptsPath(window, request))
        return true;
    if (request.mode == ModeListing) {
        std::wstring outputFile;
        if (!AskListingFileName(window, IsDlgButtonChecked(window, IDC_PLAIN_TEXT) == BST_CHECKED, outputFile))
            return true;
        ListingResult listing = WriteFileListing(window, request.folder, outputFile);
        if (!listing.written()) {
            ShowListingNotWritten(window, outputFile, listing.error);
            return false;
        }
        return true;
    }
    return ReportRunResult(window, BatchRun(window, request.folder, request.mode), request.folder);
}

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
        ResetFavoritesOrder();
        PumpMessages();
    }
    SetCursor(previousCursor);
    // A user who closed the window during the run is not kept waiting by the closing message.
    if (ran && !CloseDeferred)
        MessageBoxW(window, mode == ModeFavorites ? kFavoritesDoneText : kDoneText, kDoneCaption, MB_ICONINFORMATION | MB_OK);
    StartInProgress = false;
    EnableStartIfIdle(window);
}

bool TakeStartRequest(HWND window, StartRequest& request)
{
    // Taken whole: a path cut to a buffer could name another folder.
    ChosenFolder = GetDlgItemTextString(window, IDC_FOLDER);
    SaveSettings(window);
    if (ChosenFolder.empty()) {
        ShowStartMessage(window, kNoFolderText, MB_ICONINFORMATION);
        return false;
    }
    // The run keeps the mode it started with, whatever the Listing radio does meanwhile.
    request.mode = CurrentMode;
    if (request.mode == ModeNumber && !TakeNumberingName(window))
        return false;
    if (request.mode == ModeNumber && !TakeStartNumber(window))
        return false;
    // Attributes that cannot be read have every bit set, so such a path counts as a folder. The
    // \\?\ form asks about the exact name, so a file "NAME." is not mistaken for a folder "NAME".
    request.isFolder = (GetFileAttributesW(ExtendedLengthPath(ChosenFolder).c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // The run works on its own copy: a drop meanwhile changes only the next run's folder.
    request.folder = ChosenFolder;
    return true;
}

void RunExclusive(HWND window, void (*command)(HWND window))
{
    // A command that arrives while one is in progress (posted, or through a nested pump) is ignored.
    if (StartInProgress)
        return;
    StartInProgress = true;
    command(window);
    StartInProgress = false;
    if (CloseDeferred) {
        CloseDeferred = false;
        DestroyWindow(window);
    }
}

static void RunStartSteps(HWND window)
{
    StartRequest request;
    if (!TakeStartRequest(window, request))
        return;
    RunFrozen(window, request.mode, [&] { return RunMode(window, request); });
}

void RunStart(HWND window)
{
    RunExclusive(window, RunStartSteps);
}
