// The Listing mode's run: the file asked for with the save dialog, the format from the main
// window's radios, the font from ListingFontFace.
#include "ListingRun.h"

#include "AppState.h"
#include "Win32Text.h"
#include "resource.h"

#include <commdlg.h>

static constexpr wchar_t kListingCaption[] = L"Nomaro";
static constexpr wchar_t kListingNotWrittenText[] = L"The file listing could not be written to\n";
// A listing is written whole or not at all: an older file of the name stays as it was.
static constexpr wchar_t kNothingWrittenText[] = L"\n\nNothing was written.";
static constexpr DWORD kListingFileNameCapacity = 1024;

// The save dialog of the listing: false when the user cancels.
static bool AskListingFileName(HWND window, bool plainText, std::wstring& fileName)
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

static bool PlainTextChosen(HWND mainWindow)
{
    return SendDlgItemMessageW(mainWindow, IDC_PLAIN_TEXT, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Writes the listing of rootFolder to outputFile in the format the main window's plain-text radio
// chooses. Shows nothing; the caller reports a failure.
static ListingResult WriteFileListing(HWND mainWindow, const std::wstring& rootFolder, const std::wstring& outputFile)
{
    return WriteListingFile(rootFolder, outputFile, PlainTextChosen(mainWindow), ListingFontFace);
}

bool RunListing(HWND window, const std::wstring& rootFolder)
{
    std::wstring outputFile;
    if (!AskListingFileName(window, PlainTextChosen(window), outputFile))
        return true;
    ListingResult listing = WriteFileListing(window, rootFolder, outputFile);
    if (listing.written())
        return true;
    std::wstring text = kListingNotWrittenText + outputFile + L"\n\n" + SystemErrorText(listing.error) + kNothingWrittenText;
    MessageBoxW(window, text.c_str(), kListingCaption, MB_ICONWARNING | MB_OK);
    return false;
}
