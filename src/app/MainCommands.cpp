// The main window's commands: mode radios, font, Start and the menu.
#include "MainCommands.h"

#include "AppState.h"
#include "AuxiliaryWindows.h"
#include "JournalStore.h"
#include "KnownFolder.h"
#include "ModePanel.h"
#include "RunFindReplace.h"
#include "RunPreview.h"
#include "RunStart.h"
#include "Settings.h"
#include "UndoCommand.h"
#include "UniqueHandle.h"
#include "Win32Text.h"
#include "resource.h"

#include <commdlg.h>
#include <knownfolders.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

static constexpr wchar_t kBrowseTitle[] = L"Select a Folder";
static constexpr wchar_t kHelpFileName[] = L"\\nomaro.chm";
static constexpr wchar_t kStartMenuPrograms[] = L"\\Microsoft\\Windows\\Start Menu\\Programs";

void TakeChosenFolder(HWND window, const std::wstring& path)
{
    ChosenFolder = path;
    Settings.Folder = path;
    SetDlgItemTextW(window, IDC_FOLDER, ChosenFolder.c_str());
    EnableStartIfIdle(window);
}

void RequestClose(HWND window)
{
    // Destroying now would free the history a run still uses and lose its end.
    if (StartInProgress) {
        CloseDeferred = true;
        return;
    }
    DestroyWindow(window);
}

// Only the face name is taken; the size and style chosen in the dialog are not used.
static void ChooseListingFont(HWND window)
{
    LOGFONTW font{};
    wcsncpy_s(font.lfFaceName, ListingFontFace.c_str(), _TRUNCATE);
    CHOOSEFONTW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = window;
    dialog.lpLogFont = &font;
    dialog.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_FORCEFONTEXIST;
    if (!ChooseFontW(&dialog))
        return;
    ListingFontFace = font.lfFaceName;
    Settings.Font = ListingFontFace;
    SetDlgItemTextW(window, IDC_FONT_NAME, ListingFontFace.c_str());
}

static void BrowseForFolder(HWND window)
{
    HRESULT ole = OleInitialize(nullptr);
    BROWSEINFOW browse{};
    browse.hwndOwner = window;
    browse.lpszTitle = kBrowseTitle;
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    if (PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&browse)) {
        // The long-path form: a path cut at MAX_PATH could name another folder.
        std::wstring path(32768, L'\0');
        if (SHGetPathFromIDListEx(item, path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT)) {
            path.resize(wcslen(path.c_str()));
            TakeChosenFolder(window, path);
        }
        CoTaskMemFree(item);
    }
    if (SUCCEEDED(ole))
        OleUninitialize();
}

// "<ProgramData>\Microsoft\Windows\Start Menu\Programs".
static std::wstring StartMenuProgramsPath()
{
    std::wstring programData = KnownFolderPath(FOLDERID_ProgramData);
    return programData.empty() ? programData : programData + kStartMenuPrograms;
}

static void OpenStartMenuFolder()
{
    std::wstring path = StartMenuProgramsPath();
    if (!path.empty())
        ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

std::wstring HelpFilePath()
{
    std::wstring directory = GetCurrentDirectoryString();
    DWORD size = GetShortPathNameW(directory.c_str(), nullptr, 0);
    if (size > 0) {
        std::wstring shortForm(size, L'\0');
        DWORD length = GetShortPathNameW(directory.c_str(), shortForm.data(), size);
        if (length > 0 && length < size) {
            shortForm.resize(length);
            directory = shortForm;
        }
    }
    return directory + kHelpFileName;
}

static void ShowHelpContents(HWND window)
{
    ShowHtmlHelp(window, HelpFilePath().c_str(), kHelpDisplayToc, 0);
}

void UpdateMenuItems(HWND window, HMENU menu)
{
    UpdateUndoItem(menu, UserJournalFolder());
    UpdateFindReplaceItem(window, menu);
}

void HandleCommand(HWND window, int id)
{
    switch (id) {
    case IDC_LOWER:
        SetModeControls(window, ModeLower);
        break;
    case IDC_UPPER:
        SetModeControls(window, ModeUpper);
        break;
    case IDC_READ_ONLY:
        SetModeControls(window, ModeReadOnly);
        break;
    case IDC_FAVORITES:
        SetModeControls(window, ModeFavorites);
        break;
    case IDC_LISTING:
        SetModeControls(window, ModeListing);
        break;
    case IDC_NUMBER:
        SetModeControls(window, ModeNumber);
        break;
    case IDC_FONT_SELECT:
        ChooseListingFont(window);
        break;
    case IDC_START:
        RunStart(window);
        break;
    case IDM_BROWSE:
        BrowseForFolder(window);
        break;
    case IDM_PREVIEW:
        RunPreview(window);
        break;
    case IDM_UNDO:
        RunUndo(window, UserJournalFolder());
        break;
    case IDM_FIND_REPLACE:
        RunFindReplace(window);
        break;
    case IDM_EXIT:
        RequestClose(window);
        break;
    case IDM_START_MENU_FOLDER:
        OpenStartMenuFolder();
        break;
    case IDM_FREE_BOOK:
        OpenOfferWindow(window);
        break;
    case IDM_ABOUT:
        DialogBoxParamW(AppInstance, MAKEINTRESOURCEW(IDD_ABOUT), window, AboutDialogProc, 0);
        break;
    case IDM_HELP_CONTENTS:
        ShowHelpContents(window);
        break;
    case IDM_MORE_SOFTWARE:
        OpenMakerWebSite();
        break;
    default:
        break;
    }
}
