// The Start button: checks the input, freezes the panel, runs the mode and reports the end.
#include "RunStart.h"

#include "AppState.h"
#include "BatchRun.h"
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

// Runs the mode over the folder; false when the batch run found nothing it could use. Then the
// user has been told so, and neither the Favorites order is reset nor "Done!" claimed.
static bool RunMode(HWND window, OperationMode mode, const std::wstring& folder, bool isFolder)
{
    if (mode == ModeListing || mode == ModeNumber) {
        if (!isFolder) {
            ShowStartMessage(window, kFoldersOnlyText, MB_ICONWARNING);
            return true;
        }
        if (mode == ModeListing) {
            std::wstring outputFile;
            if (AskListingFileName(window, IsDlgButtonChecked(window, IDC_PLAIN_TEXT) == BST_CHECKED, outputFile))
                WriteFileListing(window, folder, outputFile);
            return true;
        }
    }
    if (BatchRun(window, folder, mode) == BatchResult::PathNotFound) {
        ShowStartMessage(window, PathNotFoundMessage(folder).c_str(), MB_ICONWARNING);
        return false;
    }
    return true;
}

// The run proper, from the wait cursor to the closing message.
static void RunFrozen(HWND window, OperationMode mode, const std::wstring& folder, bool isFolder)
{
    HCURSOR previousCursor = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    DisableRunSet(window);
    ShowWindow(GetDlgItem(window, IDC_PROGRESS), SW_SHOW);
    PumpMessages();

    bool ran = RunMode(window, mode, folder, isFolder);

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
}

static void RunStartSteps(HWND window)
{
    // Taken whole: a path cut to a buffer could name another folder.
    ChosenFolder = GetDlgItemTextString(window, IDC_FOLDER);
    SaveSettings(window);
    if (ChosenFolder.empty()) {
        ShowStartMessage(window, kNoFolderText, MB_ICONINFORMATION);
        return;
    }
    // The run keeps the mode it started with, whatever the Listing radio does meanwhile.
    OperationMode mode = CurrentMode;
    if (mode == ModeNumber && !TakeNumberingName(window))
        return;
    if (mode == ModeNumber && !TakeStartNumber(window))
        return;
    // Attributes that cannot be read have every bit set, so such a path counts as a folder.
    bool isFolder = (GetFileAttributesW(ChosenFolder.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // The run works on its own copy: a drop meanwhile changes only the next run's folder.
    const std::wstring folder = ChosenFolder;
    RunFrozen(window, mode, folder, isFolder);
    StartInProgress = false;
    EnableStartIfIdle(window);
}

void RunStart(HWND window)
{
    // A Start that arrives while one is in progress (posted, or through a nested pump) is ignored.
    if (StartInProgress)
        return;
    StartInProgress = true;
    RunStartSteps(window);
    StartInProgress = false;
    if (CloseDeferred) {
        CloseDeferred = false;
        DestroyWindow(window);
    }
}
