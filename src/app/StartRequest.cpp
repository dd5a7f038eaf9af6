// What Start takes from the main window before anything runs, and the checks it makes.
#include "StartRequest.h"

#include "AppState.h"
#include "ExtendedPath.h"
#include "JournalStore.h"
#include "Settings.h"
#include "WindowSettings.h"
#include "WindowText.h"
#include "resource.h"

static constexpr wchar_t kStartCaption[] = L"Nomaro";
static constexpr wchar_t kNoFolderText[] =
    L"No folder has been selected. Please select a folder by dragging a folder onto the image below or by using "
    L"File->Browse...";
static constexpr wchar_t kDigitsOnlyText[] = L"Please use numbers only for the starting number.";
static constexpr wchar_t kFoldersOnlyText[] = L"You can only use folders for this function.";
// The wording Windows itself uses when a name holds such a character.
static constexpr wchar_t kBadNameText[] = L"A file name can't contain any of the following characters:\n\\ / : * ? \" < > |";
// What is read of the start-number field: nine digits always fit 32 bits.
static constexpr size_t kStartNumberReadLimit = 9;

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

static void ShowStartMessage(HWND window, const wchar_t* text, UINT icon)
{
    MessageBoxW(window, text, kStartCaption, icon | MB_OK);
}

// The numbering fields; false when Start must stop. A name text with a path character would move
// files into other folders, even out of the chosen tree, and their recorded paths would never
// match again.
static bool TakeNumberingFields(HWND window, StartRequest& request)
{
    request.nameText = GetDlgItemTextString(window, IDC_NAME);
    if (request.nameText.find_first_of(L"\\/:*?\"<>|") != std::wstring::npos) {
        ShowStartMessage(window, kBadNameText, MB_ICONWARNING);
        return false;
    }
    std::wstring number = GetDlgItemTextString(window, IDC_START_NUMBER).substr(0, kStartNumberReadLimit);
    if (!IsAllDigits(number.c_str())) {
        ShowStartMessage(window, kDigitsOnlyText, MB_ICONWARNING);
        return false;
    }
    request.number = ParseStartNumber(number);
    request.extensions = GetDlgItemTextString(window, IDC_EXT);
    return true;
}

bool AcceptsPath(HWND window, const StartRequest& request)
{
    bool foldersOnly = request.mode == ModeListing || request.mode == ModeNumber || request.mode == ModeFindReplace;
    if (foldersOnly && !request.isFolder) {
        ShowStartMessage(window, kFoldersOnlyText, MB_ICONWARNING);
        return false;
    }
    return true;
}

// Attributes that cannot be read have every bit set, so such a path counts as a folder. The
// \\?\ form asks about the exact name, so a file "NAME." is not mistaken for a folder "NAME".
static bool IsFolderPath(const std::wstring& path)
{
    return (GetFileAttributesW(ExtendedLengthPath(path).c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool TakeFolderRequest(HWND window, OperationMode mode, StartRequest& request)
{
    request.folder = GetDlgItemTextString(window, IDC_FOLDER);
    if (request.folder.empty()) {
        ShowStartMessage(window, kNoFolderText, MB_ICONINFORMATION);
        return false;
    }
    request.mode = mode;
    request.isFolder = IsFolderPath(request.folder);
    return AcceptsPath(window, request);
}

bool TakeStartRequest(HWND window, StartRequest& request)
{
    // Taken whole: a path cut to a buffer could name another folder.
    ChosenFolder = GetDlgItemTextString(window, IDC_FOLDER);
    SaveWindowSettings(window);
    if (ChosenFolder.empty()) {
        ShowStartMessage(window, kNoFolderText, MB_ICONINFORMATION);
        return false;
    }
    // The run keeps the mode it started with, whatever the Listing radio does meanwhile.
    request.mode = CurrentMode;
    if (request.mode == ModeNumber && !TakeNumberingFields(window, request))
        return false;
    request.isFolder = IsFolderPath(ChosenFolder);
    // The run works on its own copy: a drop meanwhile changes only the next run's folder.
    request.folder = ChosenFolder;
    return true;
}

RunOptions RunOptionsOf(const StartRequest& request)
{
    RunOptions options;
    options.mode = request.mode;
    if (request.mode == ModeNumber) {
        options.nameText = request.nameText;
        options.extensions = request.extensions;
        options.startNumber = request.number.startNumber;
        options.numberWidth = request.number.numberWidth;
        // Saved from the check box when Start was pressed.
        options.fillTags = Settings.FillTags != 0;
    }
    options.journalFolder = UserJournalFolder();
    options.history = History.get();
    return options;
}
