// The main window's child controls: their table, their creation and their state from the settings.
#include "MainControls.h"

#include "AppState.h"
#include "ModePanel.h"
#include "Settings.h"
#include "resource.h"

#include <commctrl.h>

static constexpr DWORD kRadio = WS_VISIBLE | BS_AUTORADIOBUTTON;
static constexpr DWORD kLabel = WS_VISIBLE | SS_LEFT;
static constexpr DWORD kEdit = WS_VISIBLE | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
static constexpr int kStartNumberTypingLimit = 6;

const std::vector<ControlRow>& MainControlTable()
{
    static const std::vector<ControlRow> table = {
        {IDC_PROGRESS, PROGRESS_CLASSW, L"", 0, 0, 180, 20, 160, 20, true, false},
        {IDC_LOWER, L"BUTTON", L"Convert to Lower Case", kRadio | WS_GROUP | WS_TABSTOP, 0, 5, 5, 150, 20, false, true},
        {IDC_UPPER, L"BUTTON", L"Convert to Upper Case", kRadio, 0, 5, 25, 150, 20, false, true},
        {IDC_READ_ONLY, L"BUTTON", L"Remove Read-Only Attributes", kRadio, 0, 5, 45, 180, 20, false, true},
        {IDC_FAVORITES, L"BUTTON", L"Favorites Folder: Sort && Lower Case", kRadio, 0, 5, 65, 275, 20, false, true},
        {IDC_LISTING, L"BUTTON", L"Print File Listing to File", kRadio, 0, 5, 85, 275, 20, false, true},
        {IDC_FONT_LABEL, L"STATIC", L"Font: ", kLabel, 0, 22, 107, 80, 20, false, true},
        {IDC_FORMAT_LABEL, L"STATIC", L"Format: ", kLabel, 0, 22, 129, 80, 20, false, true},
        {IDC_FONT_NAME, L"STATIC", nullptr, kLabel, 0, 150, 107, 80, 20, false, true},
        {IDC_FONT_SELECT, L"BUTTON", L"Select", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 80, 104, 60, 22, false, true},
        {IDC_NUMBER, L"BUTTON", L"Rename and Number Files (i.e. MyFile0001.jpg)", kRadio, 0, 5, 153, 275, 20, false, true},
        {IDC_NAME, L"EDIT", nullptr, kEdit, WS_EX_CLIENTEDGE, 150, 177, 100, 20, false, true},
        {IDC_EXT, L"EDIT", nullptr, kEdit, WS_EX_CLIENTEDGE, 150, 199, 150, 20, false, true},
        {IDC_START_NUMBER, L"EDIT", nullptr, kEdit | ES_NUMBER, WS_EX_CLIENTEDGE, 150, 221, 80, 20, false, true},
        {IDC_FILL_TAGS, L"BUTTON", L" (fills mp3 tags with Nomaro tag)", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 150, 243,
         240, 20, false, true},
        {IDC_NAME_LABEL, L"STATIC", L"Name for files: ", kLabel, 0, 22, 179, 80, 20, false, true},
        {IDC_EXT_LABEL, L"STATIC", L"Only these extensions: ", kLabel, 0, 22, 201, 127, 20, false, true},
        {IDC_START_NUMBER_LABEL, L"STATIC", L"Start numbers at: ", kLabel, 0, 22, 223, 100, 20, false, true},
        {IDC_FILL_TAGS_LABEL, L"STATIC", L"Fill MP3 info tags: ", kLabel, 0, 22, 245, 100, 20, false, true},
        {IDC_FOLDER_LABEL, L"STATIC", L"Folder:", kLabel, 0, 8, 276, 40, 20, false, true},
        {IDC_FOLDER, L"STATIC", nullptr, WS_VISIBLE | SS_PATHELLIPSIS, 0, 48, 276, 380, 20, false, true},
        {IDC_START, L"BUTTON", L"Start", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 5, 296, 80, 24, false, true},
        {IDC_DROP_PANEL, kDropPanelClass, L"", WS_VISIBLE | WS_CLIPSIBLINGS,
         WS_EX_STATICEDGE | WS_EX_CLIENTEDGE | WS_EX_ACCEPTFILES, 5, 326, 426, 306, false, false},
        {IDC_RTF, L"BUTTON", L"RTF Format", kRadio | WS_GROUP, 0, 80, 128, 100, 20, false, true},
        {IDC_PLAIN_TEXT, L"BUTTON", L"Plain Text", kRadio, 0, 180, 128, 100, 20, false, true},
    };
    return table;
}

// The texts the settings supply.
static const wchar_t* InitialText(const ControlRow& row)
{
    if (row.text)
        return row.text;
    switch (row.id) {
    case IDC_FONT_NAME:
        return ListingFontFace.c_str();
    case IDC_NAME:
        return Settings.Tag.c_str();
    case IDC_EXT:
        return Settings.Extention.c_str();
    case IDC_START_NUMBER:
        return Settings.Number.c_str();
    case IDC_FOLDER:
        return Settings.Folder.c_str();
    default:
        return L"";
    }
}

static void CreateControls(HWND window, int clientWidth)
{
    for (const ControlRow& row : MainControlTable()) {
        int x = row.fromRight ? clientWidth - row.x : row.x;
        CreateWindowExW(row.exStyle, row.className, InitialText(row), WS_CHILD | row.style, x, row.y, row.width, row.height,
                        window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), AppInstance, nullptr);
    }
    for (const ControlRow& row : MainControlTable()) {
        if (row.takesUiFont)
            SendDlgItemMessageW(window, row.id, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont.get()), TRUE);
    }
    // Limits typing only; a longer stored number is still shown whole.
    SendDlgItemMessageW(window, IDC_START_NUMBER, EM_SETLIMITTEXT, kStartNumberTypingLimit, 0);
}

void CreateMainControls(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    ListingFontFace = Settings.Font;
    CreateControls(window, client.right - client.left);

    ApplyStoredMode(window, Settings.Function);
    CheckDlgButton(window, IDC_FILL_TAGS, Settings.FillTags ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(window, IDC_RTF, Settings.Rtf ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(window, IDC_PLAIN_TEXT, Settings.Rtf ? BST_UNCHECKED : BST_CHECKED);
    if (Settings.Function != ModeNumber)
        EnableNumberingGroup(window, false);
    if (Settings.Function != ModeListing)
        EnableListingGroup(window, false);

    DropPicture.reset(static_cast<HBITMAP>(
        LoadImageW(AppInstance, MAKEINTRESOURCEW(IDB_DROP_PICTURE), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
}
