// The rules that enable, disable and check the main window's controls per mode and per run.
#include "ModePanel.h"

#include "AppState.h"
#include "resource.h"

#include <shlobj.h>

static constexpr int kNumberingGroup[] = {IDC_NAME,         IDC_NAME_LABEL,         IDC_EXT,       IDC_EXT_LABEL,
                                          IDC_START_NUMBER, IDC_START_NUMBER_LABEL, IDC_FILL_TAGS, IDC_FILL_TAGS_LABEL};
static constexpr int kListingGroup[] = {IDC_FONT_LABEL, IDC_FONT_NAME, IDC_FORMAT_LABEL, IDC_FONT_SELECT, IDC_RTF, IDC_PLAIN_TEXT};

// Listing stays live during a run: only these are frozen, in this order.
static constexpr int kRunSetDisabled[] = {IDC_UPPER,        IDC_LOWER,         IDC_READ_ONLY,          IDC_NUMBER,
                                          IDC_NAME_LABEL,   IDC_NAME,          IDC_EXT_LABEL,          IDC_EXT,
                                          IDC_FOLDER_LABEL, IDC_FOLDER,        IDC_START_NUMBER,       IDC_START_NUMBER_LABEL,
                                          IDC_START,        IDC_FILL_TAGS,     IDC_FILL_TAGS_LABEL,    IDC_FAVORITES};
static constexpr int kRunSetEnabled[] = {IDC_UPPER,     IDC_LOWER,        IDC_READ_ONLY, IDC_NUMBER,
                                         IDC_FAVORITES, IDC_FOLDER_LABEL, IDC_FOLDER};

struct ModeRadio {
    OperationMode mode;
    int id;
};
static constexpr ModeRadio kModeRadios[] = {{ModeLower, IDC_LOWER},     {ModeUpper, IDC_UPPER},   {ModeFavorites, IDC_FAVORITES},
                                            {ModeNumber, IDC_NUMBER},   {ModeListing, IDC_LISTING}, {ModeReadOnly, IDC_READ_ONLY}};

template <size_t N>
static void EnableControls(HWND window, const int (&ids)[N], bool enable)
{
    for (int id : ids)
        EnableWindow(GetDlgItem(window, id), enable);
}

std::wstring FavoritesFolderPath()
{
    wchar_t path[MAX_PATH] = L"";
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_FAVORITES, nullptr, SHGFP_TYPE_CURRENT, path)))
        return std::wstring();
    return path;
}

void EnableNumberingGroup(HWND window, bool enable)
{
    EnableControls(window, kNumberingGroup, enable);
}

void EnableListingGroup(HWND window, bool enable)
{
    EnableControls(window, kListingGroup, enable);
}

void EnableStartIfIdle(HWND window)
{
    if (!StartInProgress)
        EnableWindow(GetDlgItem(window, IDC_START), TRUE);
}

// Preview plans a batch run, and Listing makes none.
static void EnablePreviewCommand(HWND window, OperationMode mode)
{
    EnableMenuItem(GetMenu(window), IDM_PREVIEW, MF_BYCOMMAND | (mode == ModeListing ? MF_GRAYED : MF_ENABLED));
}

static void ShowFavoritesFolder(HWND window)
{
    ChosenFolder = FavoritesFolderPath();
    SetDlgItemTextW(window, IDC_FOLDER, ChosenFolder.c_str());
}

void SetModeControls(HWND window, OperationMode mode)
{
    EnableNumberingGroup(window, mode == ModeNumber);
    EnableListingGroup(window, mode == ModeListing);
    if (mode == ModeFavorites)
        ShowFavoritesFolder(window);
    EnableStartIfIdle(window);
    EnablePreviewCommand(window, mode);
    // Straight into the name field: the first thing Number mode asks for.
    if (mode == ModeNumber)
        SetFocus(GetDlgItem(window, IDC_NAME));
    CurrentMode = mode;
}

void ApplyStoredMode(HWND window, DWORD function)
{
    if (!IsPanelMode(function))
        return;
    OperationMode mode = static_cast<OperationMode>(function);
    for (const ModeRadio& radio : kModeRadios)
        CheckDlgButton(window, radio.id, radio.mode == mode ? BST_CHECKED : BST_UNCHECKED);
    if (mode == ModeFavorites)
        ShowFavoritesFolder(window);
    EnableStartIfIdle(window);
    EnablePreviewCommand(window, mode);
    CurrentMode = mode;
}

void DisableRunSet(HWND window)
{
    EnableControls(window, kRunSetDisabled, false);
}

void EnableRunSetAfterRun(HWND window)
{
    EnableControls(window, kRunSetEnabled, true);
    if (CurrentMode == ModeNumber)
        EnableNumberingGroup(window, true);
}
