// The main window's child controls: their table, their creation and their state from the settings.
#include "MainControls.h"

#include "AccessibleName.h"
#include "AppState.h"
#include "DropPanel.h"
#include "DpiScale.h"
#include "ModePanel.h"
#include "OneLineLabel.h"
#include "Settings.h"
#include "WindowText.h"
#include "resource.h"

#include <commctrl.h>

static constexpr DWORD kRadio = WS_VISIBLE | BS_AUTORADIOBUTTON;
static constexpr DWORD kLabel = WS_VISIBLE | SS_LEFT;
static constexpr DWORD kEdit = WS_VISIBLE | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
static constexpr int kStartNumberTypingLimit = 6;

// The controls in creation order, which is also the tab order and decides the radio groups.
static const std::vector<ControlRow>& MainControlTable()
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

// Where a row goes in a client area clientWidth pixels wide at dpi: its 96-DPI rectangle scaled edge
// by edge (a right-anchored row keeps its distances from the right edge, scaled).
static RECT ControlRectForDpi(const ControlRow& row, int clientWidth, UINT dpi)
{
    if (!row.fromRight)
        return ScaleBoxToDpi(row.x, row.y, row.width, row.height, dpi);
    RECT fromRight = ScaleBoxToDpi(row.x - row.width, row.y, row.width, row.height, dpi);
    return RECT{clientWidth - ScaleToDpi(row.x, dpi), fromRight.top, clientWidth - fromRight.left, fromRight.bottom};
}

static int ClientWidth(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    return client.right - client.left;
}

static void SetUiFont(HWND window)
{
    for (const ControlRow& row : MainControlTable()) {
        if (row.takesUiFont)
            SendDlgItemMessageW(window, row.id, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont.get()), TRUE);
    }
}

// The names a screen reader announces where the control's own text is not its name. Its label
// stands before it on screen but after it in creation order, so a reader would take the static
// created before the control: "Consolas" for the three numbering fields.
struct ControlName {
    int id;
    int label;          // the label whose text names the control, or 0
    const wchar_t* own; // a name of its own, or none
    bool withOwnText;   // the label's text, then the control's own
};
static constexpr ControlName kControlNames[] = {
    {IDC_NAME, IDC_NAME_LABEL, nullptr, false},
    {IDC_EXT, IDC_EXT_LABEL, nullptr, false},
    {IDC_START_NUMBER, IDC_START_NUMBER_LABEL, nullptr, false},
    {IDC_FILL_TAGS, IDC_FILL_TAGS_LABEL, nullptr, true},
    {IDC_PROGRESS, 0, L"Progress", false},
    {IDC_DROP_PANEL, 0, L"Drop a folder here, or choose it with File, Browse", false},
};

// "Name for files: " names its field "Name for files".
static std::wstring LabelName(const std::wstring& text)
{
    size_t first = text.find_first_not_of(L' ');
    size_t last = text.find_last_not_of(L" :");
    if (first == std::wstring::npos || last == std::wstring::npos || last < first)
        return std::wstring();
    return text.substr(first, last + 1 - first);
}

static void NameControls(HWND window)
{
    for (const ControlName& named : kControlNames) {
        std::wstring name = named.own ? named.own : LabelName(GetDlgItemTextString(window, named.label));
        if (named.withOwnText)
            name += L" " + LabelName(GetDlgItemTextString(window, named.id));
        SetAccessibleName(GetDlgItem(window, named.id), name);
    }
}

static void CreateControls(HWND window, UINT dpi)
{
    int clientWidth = ClientWidth(window);
    for (const ControlRow& row : MainControlTable()) {
        RECT place = ControlRectForDpi(row, clientWidth, dpi);
        CreateWindowExW(row.exStyle, row.className, InitialText(row), WS_CHILD | row.style, place.left, place.top,
                        place.right - place.left, place.bottom - place.top, window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), AppInstance, nullptr);
    }
    for (const ControlRow& row : MainControlTable()) {
        if (row.style == kLabel)
            KeepLabelOnOneLine(GetDlgItem(window, row.id));
    }
    SetUiFont(window);
    // Limits typing only; a longer stored number is still shown whole.
    SendDlgItemMessageW(window, IDC_START_NUMBER, EM_SETLIMITTEXT, kStartNumberTypingLimit, 0);
    NameControls(window);
}

void PlaceMainControls(HWND window, UINT dpi)
{
    int clientWidth = ClientWidth(window);
    const std::vector<ControlRow>& table = MainControlTable();
    HDWP positions = BeginDeferWindowPos(static_cast<int>(table.size()));
    for (const ControlRow& row : table) {
        RECT place = ControlRectForDpi(row, clientWidth, dpi);
        if (positions)
            positions = DeferWindowPos(positions, GetDlgItem(window, row.id), nullptr, place.left, place.top,
                                       place.right - place.left, place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (positions)
        EndDeferWindowPos(positions);
    SetUiFont(window);
}

void CreateMainControls(HWND window, UINT dpi)
{
    ListingFontFace = Settings.Font;
    CreateControls(window, dpi);

    ApplyStoredMode(window, Settings.Function);
    CheckDlgButton(window, IDC_FILL_TAGS, Settings.FillTags ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(window, IDC_RTF, Settings.Rtf ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(window, IDC_PLAIN_TEXT, Settings.Rtf ? BST_UNCHECKED : BST_CHECKED);
    if (Settings.Function != ModeNumber)
        EnableNumberingGroup(window, false);
    if (Settings.Function != ModeListing)
        EnableListingGroup(window, false);

    LoadDropPicture(GetDlgItem(window, IDC_DROP_PANEL));
}
