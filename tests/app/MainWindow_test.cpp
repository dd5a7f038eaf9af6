// The main window created as the program creates it: its control table, the stored
// mode and choices it restores, its fixed size and what its destruction saves.
#include "MainWindowFixture.h"

#include "FileListing.h"
#include "MainControls.h"
#include "ModePanel.h"
#include "TempFolder.h"

#include <commctrl.h>

namespace {
struct ExpectedControl {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style; // besides WS_CHILD
    DWORD exStyle;
    int x, y, width, height; // x < 0: counted back from the client width
    bool uiFont;
};

constexpr DWORD kRadio = WS_VISIBLE | BS_AUTORADIOBUTTON;
constexpr DWORD kEdit = WS_VISIBLE | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;

// The table as the window must show it on a first start (texts of the settings' defaults).
const ExpectedControl kExpected[] = {
    {IDC_PROGRESS, L"msctls_progress32", L"", 0, 0, -180, 20, 160, 20, false},
    {IDC_LOWER, L"Button", L"Convert to Lower Case", kRadio | WS_GROUP | WS_TABSTOP, 0, 5, 5, 150, 20, true},
    {IDC_UPPER, L"Button", L"Convert to Upper Case", kRadio, 0, 5, 25, 150, 20, true},
    {IDC_READ_ONLY, L"Button", L"Remove Read-Only Attributes", kRadio, 0, 5, 45, 180, 20, true},
    {IDC_FAVORITES, L"Button", L"Favorites Folder: Sort && Lower Case", kRadio, 0, 5, 65, 275, 20, true},
    {IDC_LISTING, L"Button", L"Print File Listing to File", kRadio, 0, 5, 85, 275, 20, true},
    {IDC_FONT_LABEL, L"Static", L"Font: ", WS_VISIBLE | SS_LEFT, 0, 22, 107, 80, 20, true},
    {IDC_FORMAT_LABEL, L"Static", L"Format: ", WS_VISIBLE | SS_LEFT, 0, 22, 129, 80, 20, true},
    {IDC_FONT_NAME, L"Static", L"Consolas", WS_VISIBLE | SS_LEFT, 0, 150, 107, 80, 20, true},
    {IDC_FONT_SELECT, L"Button", L"Select", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 80, 104, 60, 22, true},
    {IDC_NUMBER, L"Button", L"Rename and Number Files (i.e. MyFile0001.jpg)", kRadio, 0, 5, 153, 275, 20, true},
    {IDC_NAME, L"Edit", L"", kEdit, WS_EX_CLIENTEDGE, 150, 177, 100, 20, true},
    {IDC_EXT, L"Edit", L"jpg,gif,png,bmp,mp3", kEdit, WS_EX_CLIENTEDGE, 150, 199, 150, 20, true},
    {IDC_START_NUMBER, L"Edit", L"000000", kEdit | ES_NUMBER, WS_EX_CLIENTEDGE, 150, 221, 80, 20, true},
    {IDC_FILL_TAGS, L"Button", L" (fills mp3 tags with Nomaro tag)", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 150, 243, 240,
     20, true},
    {IDC_NAME_LABEL, L"Static", L"Name for files: ", WS_VISIBLE | SS_LEFT, 0, 22, 179, 80, 20, true},
    {IDC_EXT_LABEL, L"Static", L"Only these extensions: ", WS_VISIBLE | SS_LEFT, 0, 22, 201, 127, 20, true},
    {IDC_START_NUMBER_LABEL, L"Static", L"Start numbers at: ", WS_VISIBLE | SS_LEFT, 0, 22, 223, 100, 20, true},
    {IDC_FILL_TAGS_LABEL, L"Static", L"Fill MP3 info tags: ", WS_VISIBLE | SS_LEFT, 0, 22, 245, 100, 20, true},
    {IDC_FOLDER_LABEL, L"Static", L"Folder:", WS_VISIBLE | SS_LEFT, 0, 8, 276, 40, 20, true},
    {IDC_FOLDER, L"Static", L"", WS_VISIBLE | SS_PATHELLIPSIS, 0, 48, 276, 380, 20, true},
    {IDC_START, L"Button", L"Start", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 5, 296, 80, 24, true},
    {IDC_DROP_PANEL, L"Nomaro_DragDrop", L"", WS_VISIBLE | WS_CLIPSIBLINGS,
     WS_EX_STATICEDGE | WS_EX_CLIENTEDGE | WS_EX_ACCEPTFILES, 5, 326, 426, 306, false},
    {IDC_RTF, L"Button", L"RTF Format", kRadio | WS_GROUP, 0, 80, 128, 100, 20, true},
    {IDC_PLAIN_TEXT, L"Button", L"Plain Text", kRadio, 0, 180, 128, 100, 20, true},
};

constexpr int kNumberingGroup[] = {IDC_NAME,         IDC_NAME_LABEL,         IDC_EXT,       IDC_EXT_LABEL,
                                   IDC_START_NUMBER, IDC_START_NUMBER_LABEL, IDC_FILL_TAGS, IDC_FILL_TAGS_LABEL};
constexpr int kListingGroup[] = {IDC_FONT_LABEL, IDC_FONT_NAME, IDC_FORMAT_LABEL, IDC_FONT_SELECT, IDC_RTF, IDC_PLAIN_TEXT};
constexpr int kModeRadios[] = {IDC_LOWER, IDC_UPPER, IDC_FAVORITES, IDC_NUMBER, IDC_LISTING, IDC_READ_ONLY};

// The styles a control must carry and must not: the table's bits are compared exactly
// within the bits that tell the controls apart.
constexpr DWORD kComparedStyles = WS_VISIBLE | WS_GROUP | WS_TABSTOP | WS_DISABLED | WS_CLIPSIBLINGS | 0xFFFF;

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

RECT ClientRectOf(HWND control, HWND parent)
{
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void StoreFunction(DWORD function)
{
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExW(key, L"Function", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&function), sizeof(function));
    RegCloseKey(key);
}

std::wstring StoredString(const wchar_t* name)
{
    wchar_t text[4096] = L"";
    DWORD size = sizeof(text);
    DWORD type = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_ANY, &type, text, &size) != ERROR_SUCCESS)
        return L"<missing>";
    EXPECT_EQ(type, DWORD(REG_SZ)) << Narrow(name);
    return text;
}

// File > Preview..., greyed in Listing mode.
bool PreviewEnabled(HWND window)
{
    return (GetMenuState(GetMenu(window), IDM_PREVIEW, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
}

DWORD StoredDword(const wchar_t* name)
{
    DWORD value = 0xDEADBEEF;
    DWORD size = sizeof(value);
    DWORD type = 0;
    RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_ANY, &type, &value, &size);
    EXPECT_EQ(type, DWORD(REG_DWORD)) << Narrow(name);
    return value;
}
} // namespace

TEST_F(MainWindowTest, FirstStartShowsEveryControlOfTheTableInCreationOrder)
{
    HWND window = Open();
    ASSERT_NE(window, nullptr);
    RECT outer{};
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.right - outer.left, 450);
    EXPECT_EQ(outer.bottom - outer.top, 690);
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & (WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN), DWORD(WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN));
    EXPECT_EQ(GetWindowLongW(window, GWL_EXSTYLE) & ~DWORD(WS_EX_WINDOWEDGE), 0u);
    wchar_t title[64] = L"";
    GetWindowTextW(window, title, 64);
    EXPECT_STREQ(title, L"Nomaro by Kestrith");
    EXPECT_NE(GetMenu(window), nullptr);
    RECT client{};
    GetClientRect(window, &client);

    // Creation order is z-order: the first child is the progress bar, then the table.
    HWND child = GetWindow(window, GW_CHILD);
    for (const ExpectedControl& expected : kExpected) {
        SCOPED_TRACE(expected.id);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(GetDlgCtrlID(child), expected.id);
        HWND control = Control(expected.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(ClassOf(control), expected.className);
        EXPECT_EQ(Text(expected.id), expected.text);
        DWORD style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
        EXPECT_TRUE(style & WS_CHILD);
        DWORD expectedStyle = expected.style;
        DWORD compared = kComparedStyles & ~DWORD(WS_DISABLED);
        if (expected.id == IDC_PROGRESS)
            expectedStyle = style & 0xFFFF; // the progress bar's own bits are its class's business
        // Checking a radio gives it WS_TABSTOP and clearing takes it away, as the system does.
        if ((expected.style & 0xF) == BS_AUTORADIOBUTTON && std::wstring(expected.className) == L"Button")
            compared &= ~DWORD(WS_TABSTOP);
        EXPECT_EQ(style & compared, expectedStyle & compared) << std::hex << style;
        DWORD exStyle = static_cast<DWORD>(GetWindowLongW(control, GWL_EXSTYLE));
        EXPECT_EQ(exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_ACCEPTFILES), expected.exStyle);
        RECT rect = ClientRectOf(control, window);
        int x = expected.x < 0 ? client.right + expected.x : expected.x;
        EXPECT_EQ(rect.left, x);
        EXPECT_EQ(rect.top, expected.y);
        EXPECT_EQ(rect.right - rect.left, expected.width);
        EXPECT_EQ(rect.bottom - rect.top, expected.height);
        HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        if (expected.uiFont)
            EXPECT_EQ(font, UiFont.get());
        else
            EXPECT_NE(font, UiFont.get());
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr) << "no controls beyond the table";
    EXPECT_FALSE(IsWindowVisible(Control(IDC_PROGRESS)));

    // The drop panel's client area is the size of the picture.
    RECT panel{};
    GetClientRect(Control(IDC_DROP_PANEL), &panel);
    EXPECT_EQ(panel.right, 420);
    EXPECT_EQ(panel.bottom, 300);
    BITMAP picture{};
    ASSERT_TRUE(DropPicture.valid());
    GetObjectW(DropPicture.get(), sizeof(picture), &picture);
    EXPECT_EQ(picture.bmWidth, 420);
    EXPECT_EQ(picture.bmHeight, 300);

    LOGFONTW uiFont{};
    GetObjectW(UiFont.get(), sizeof(uiFont), &uiFont);
    EXPECT_STREQ(uiFont.lfFaceName, L"Tahoma");
    EXPECT_EQ(uiFont.lfHeight, 14);
    EXPECT_EQ(SendMessageW(Control(IDC_START_NUMBER), EM_GETLIMITTEXT, 0, 0), 6);
}

TEST_F(MainWindowTest, FirstStartSelectsLowerCaseAndRtfWithBothGroupsDisabled)
{
    Open();
    EXPECT_EQ(CurrentMode, ModeLower);
    for (int id : kModeRadios)
        EXPECT_EQ(Checked(id), id == IDC_LOWER) << id;
    EXPECT_TRUE(Checked(IDC_RTF));
    EXPECT_FALSE(Checked(IDC_PLAIN_TEXT));
    EXPECT_FALSE(Checked(IDC_FILL_TAGS));
    for (int id : kNumberingGroup)
        EXPECT_FALSE(Enabled(id)) << id;
    for (int id : kListingGroup)
        EXPECT_FALSE(Enabled(id)) << id;
    for (int id : {IDC_START, IDC_LOWER, IDC_UPPER, IDC_READ_ONLY, IDC_FAVORITES, IDC_LISTING, IDC_NUMBER, IDC_FOLDER,
                   IDC_FOLDER_LABEL, IDC_DROP_PANEL})
        EXPECT_TRUE(Enabled(id)) << id;
}

TEST_F(MainWindowTest, EachStoredFunctionRestoresItsModeAndGroups)
{
    struct Case {
        DWORD function;
        int radio; // 0: none checked
        OperationMode mode;
    };
    const Case cases[] = {{0, IDC_LOWER, ModeLower},     {1, IDC_UPPER, ModeUpper},     {2, IDC_FAVORITES, ModeFavorites},
                          {3, IDC_NUMBER, ModeNumber},   {5, IDC_LISTING, ModeListing}, {6, IDC_READ_ONLY, ModeReadOnly},
                          {4, 0, ModeLower},             {7, 0, ModeLower},             {255, 0, ModeLower}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.function);
        StoreFunction(c.function);
        CurrentMode = ModeLower;
        Open();
        EXPECT_EQ(CurrentMode, c.mode);
        for (int id : kModeRadios)
            EXPECT_EQ(Checked(id), id == c.radio) << id;
        for (int id : kNumberingGroup)
            EXPECT_EQ(Enabled(id), c.function == 3) << id;
        for (int id : kListingGroup)
            EXPECT_EQ(Enabled(id), c.function == 5) << id;
        EXPECT_TRUE(Enabled(IDC_START));
        EXPECT_EQ(PreviewEnabled(window_), c.function != 5);
        if (c.function == 2) {
            EXPECT_FALSE(FavoritesFolderPath().empty());
            EXPECT_EQ(Text(IDC_FOLDER), FavoritesFolderPath());
            EXPECT_EQ(ChosenFolder, FavoritesFolderPath());
        }
        DestroyWindow(window_);
        EXPECT_TRUE(DrainQuit());
        // A value outside the modes is saved back as 0, as no radio is checked.
        EXPECT_EQ(StoredDword(L"Function"), c.radio ? c.function : 0u);
    }
}

TEST_F(MainWindowTest, StoredChoicesAndTextsComeBackWhole)
{
    WriteStringSetting(L"Tag", L"Holiday");
    WriteStringSetting(L"Extention", L"jpg png");
    WriteStringSetting(L"Number", L"123456789");
    WriteStringSetting(L"Folder", L"C:\\Photos\\2012");
    WriteStringSetting(L"Font", L"Courier New");
    WriteDwordSetting(L"FillTags", 1);
    WriteDwordSetting(L"Rtf", 0);
    Open();
    EXPECT_EQ(Text(IDC_NAME), L"Holiday");
    EXPECT_EQ(Text(IDC_EXT), L"jpg png");
    EXPECT_EQ(Text(IDC_START_NUMBER), L"123456789"); // only typing is limited to 6
    EXPECT_EQ(Text(IDC_FOLDER), L"C:\\Photos\\2012");
    EXPECT_EQ(Text(IDC_FONT_NAME), L"Courier New");
    EXPECT_EQ(ListingFontFace, L"Courier New");
    EXPECT_TRUE(Checked(IDC_FILL_TAGS));
    EXPECT_FALSE(Checked(IDC_RTF));
    EXPECT_TRUE(Checked(IDC_PLAIN_TEXT));
    // Outside Favorites the folder line is not yet the chosen folder.
    EXPECT_EQ(ChosenFolder, L"");
}

TEST_F(MainWindowTest, ModeRadiosEnableTheirGroupsAndSetTheMode)
{
    Open();
    EnableWindow(Control(IDC_START), FALSE);
    Click(IDC_NUMBER);
    EXPECT_EQ(CurrentMode, ModeNumber);
    EXPECT_TRUE(Checked(IDC_NUMBER));
    EXPECT_FALSE(Checked(IDC_LOWER));
    for (int id : kNumberingGroup)
        EXPECT_TRUE(Enabled(id)) << id;
    for (int id : kListingGroup)
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_TRUE(Enabled(IDC_START));
    EXPECT_EQ(GetFocus(), Control(IDC_NAME)) << "Number mode asks for the name first";

    Click(IDC_LISTING);
    EXPECT_EQ(CurrentMode, ModeListing);
    EXPECT_FALSE(PreviewEnabled(window_));
    EXPECT_FALSE(Checked(IDC_NUMBER));
    for (int id : kNumberingGroup)
        EXPECT_FALSE(Enabled(id)) << id;
    for (int id : kListingGroup)
        EXPECT_TRUE(Enabled(id)) << id;
    // The format radios are a group of their own: the mode radio did not touch them.
    EXPECT_TRUE(Checked(IDC_RTF));
    Click(IDC_PLAIN_TEXT);
    EXPECT_TRUE(Checked(IDC_PLAIN_TEXT));
    EXPECT_FALSE(Checked(IDC_RTF));
    EXPECT_TRUE(Checked(IDC_LISTING));

    for (int id : {IDC_UPPER, IDC_READ_ONLY, IDC_LOWER}) {
        Click(id);
        EXPECT_TRUE(Checked(id));
        for (int other : kListingGroup)
            EXPECT_FALSE(Enabled(other)) << other;
    }
    Click(IDC_READ_ONLY);
    EXPECT_EQ(CurrentMode, ModeReadOnly);
    EXPECT_TRUE(PreviewEnabled(window_));
}

TEST_F(MainWindowTest, FavoritesRadioShowsTheFavoritesFolderWhichStaysAfterwards)
{
    WriteStringSetting(L"Folder", L"C:\\Photos");
    Open();
    Click(IDC_FAVORITES);
    EXPECT_EQ(CurrentMode, ModeFavorites);
    EXPECT_EQ(Text(IDC_FOLDER), FavoritesFolderPath());
    EXPECT_EQ(ChosenFolder, FavoritesFolderPath());
    EXPECT_EQ(Settings.Folder, L"C:\\Photos"); // the field is not touched
    Click(IDC_UPPER);
    EXPECT_EQ(Text(IDC_FOLDER), FavoritesFolderPath());
}

TEST_F(MainWindowTest, WindowKeepsItsOneSize)
{
    Open();
    MINMAXINFO info{};
    SendMessageW(window_, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 450);
    EXPECT_EQ(info.ptMinTrackSize.y, 690);
    EXPECT_EQ(info.ptMaxTrackSize.x, 450);
    EXPECT_EQ(info.ptMaxTrackSize.y, 690);
    SetWindowPos(window_, nullptr, 0, 0, 800, 300, SWP_NOMOVE | SWP_NOZORDER);
    RECT outer{};
    GetWindowRect(window_, &outer);
    EXPECT_EQ(outer.right - outer.left, 450);
    EXPECT_EQ(outer.bottom - outer.top, 690);
}

TEST_F(MainWindowTest, ClosingSavesEveryValueWithItsCutsAndEndsTheLoop)
{
    Open();
    Click(IDC_NUMBER);
    SetWindowTextW(Control(IDC_NAME), std::wstring(200, L'n').c_str());
    SetWindowTextW(Control(IDC_EXT), std::wstring(300, L'e').c_str());
    SetWindowTextW(Control(IDC_START_NUMBER), L"12345678901234567890");
    std::wstring longFolder = L"C:\\" + std::wstring(1500, L'f');
    SetWindowTextW(Control(IDC_FOLDER), longFolder.c_str());
    Click(IDC_FILL_TAGS);
    Click(IDC_LISTING);
    Click(IDC_PLAIN_TEXT);
    Settings.Font = L"Courier New";

    PostMessageW(window_, WM_CLOSE, 0, 0);
    EXPECT_TRUE(DrainQuit());
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_FALSE(UiFont.valid());
    EXPECT_FALSE(DropPicture.valid());

    EXPECT_EQ(StoredString(L"Tag"), std::wstring(127, L'n'));
    EXPECT_EQ(StoredString(L"Extention"), std::wstring(255, L'e'));
    EXPECT_EQ(StoredString(L"Number"), L"123456789012");
    EXPECT_EQ(StoredString(L"Folder"), longFolder.substr(0, 1039));
    EXPECT_EQ(StoredString(L"Font"), L"Courier New");
    EXPECT_EQ(StoredDword(L"FillTags"), 1u);
    EXPECT_EQ(StoredDword(L"Function"), 5u);
    EXPECT_EQ(StoredDword(L"Rtf"), 0u);
}

TEST_F(MainWindowTest, NoCheckedModeRadioIsSavedAsLower)
{
    StoreFunction(3);
    Open();
    CheckDlgButton(window_, IDC_NUMBER, BST_UNCHECKED);
    SaveWindowSettings(window_);
    EXPECT_EQ(StoredDword(L"Function"), 0u);
    CheckDlgButton(window_, IDC_READ_ONLY, BST_CHECKED);
    SaveWindowSettings(window_);
    EXPECT_EQ(StoredDword(L"Function"), 6u);
}

TEST_F(MainWindowTest, HintTextIsPaintedOnlyWhileNoRunIsBusy)
{
    Open();
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    RECT client{};
    GetClientRect(window_, &client);
    RECT hint{client.right - 180, 10, client.right - 20, 50};
    auto darkPixels = [&] {
        HDC screen = GetDC(window_);
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
        HGDIOBJ old = SelectObject(memory, bitmap);
        InvalidateRect(window_, &hint, TRUE);
        UpdateWindow(window_);
        BitBlt(memory, 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
        int dark = 0;
        for (int y = hint.top; y < hint.bottom; ++y)
            for (int x = hint.left; x < hint.right; ++x) {
                COLORREF colour = GetPixel(memory, x, y);
                if (GetRValue(colour) < 80 && GetGValue(colour) < 80 && GetBValue(colour) < 80)
                    ++dark;
            }
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(window_, screen);
        return dark;
    };
    EXPECT_GT(darkPixels(), 100);
    BatchBusy = true;
    EXPECT_EQ(darkPixels(), 0);
    BatchBusy = false;
    EXPECT_GT(darkPixels(), 100);
}

namespace {
// How much wider a control is than its text in the control's own font (below 0: the text is cut):
// a label's text without its trailing blanks, a radio's or a check box's beside its box.
int SpareWidth(HWND control, UINT dpi)
{
    std::wstring text(256, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), 256)));
    text.erase(text.find_last_not_of(L' ') + 1);
    for (size_t at = text.find(L"&&"); at != std::wstring::npos; at = text.find(L"&&", at + 1))
        text.erase(at, 1);
    RECT client{};
    GetClientRect(control, &client);
    int room = client.right;
    if (ClassOf(control) == L"Button") {
        LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
        if (type == BS_AUTORADIOBUTTON || type == BS_AUTOCHECKBOX)
            room -= GetSystemMetrics(SM_CXMENUCHECK) * static_cast<int>(dpi) / 96 + MulDiv(4, dpi, 96);
    }
    HDC dc = GetDC(control);
    HGDIOBJ earlier = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, earlier);
    ReleaseDC(control, dc);
    return room - size.cx;
}

// The face the system draws with: Tahoma only where the test prefix has it, not DejaVu in its place.
std::wstring FaceOf(HWND window, HFONT font)
{
    HDC dc = GetDC(window);
    HGDIOBJ earlier = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = L"";
    GetTextFaceW(dc, LF_FACESIZE, face);
    SelectObject(dc, earlier);
    ReleaseDC(window, dc);
    return face;
}
} // namespace

// Dragged to monitors at 150 % and 200 % and back: the table scaled edge by edge, the texts in
// Tahoma for the DPI and nowhere cut, the drop picture drawn for the larger size, the fields as
// they were, and at 96 DPI every rectangle as before.
TEST_F(MainWindowTest, FollowsItsMonitorsDpiAndComesBackToTheSameLayout)
{
    StoreFunction(ModeNumber);
    HWND window = Open();
    SetWindowTextW(Control(IDC_NAME), L"Holiday");
    Click(IDC_FILL_TAGS);
    for (UINT dpi : {144u, 192u, 96u}) {
        SCOPED_TRACE(dpi);
        RECT outer{};
        GetWindowRect(window, &outer);
        RECT suggested{outer.left, outer.top, outer.left + MulDiv(outer.right - outer.left, dpi, 96),
                       outer.top + MulDiv(outer.bottom - outer.top, dpi, 96)};
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        int tolerance = dpi == 96 ? 0 : 1;
        RECT client{};
        GetClientRect(window, &client);
        for (const ExpectedControl& expected : kExpected) {
            SCOPED_TRACE(expected.id);
            HWND control = Control(expected.id);
            RECT rect = ClientRectOf(control, window);
            int left = expected.x < 0 ? client.right - MulDiv(-expected.x, dpi, 96) : MulDiv(expected.x, dpi, 96);
            EXPECT_NEAR(rect.left, left, tolerance);
            EXPECT_NEAR(rect.top, MulDiv(expected.y, dpi, 96), tolerance);
            EXPECT_NEAR(rect.right - rect.left, MulDiv(expected.width, dpi, 96), tolerance);
            EXPECT_NEAR(rect.bottom - rect.top, MulDiv(expected.height, dpi, 96), tolerance);
            EXPECT_LE(rect.bottom, client.bottom) << "inside the client area";
            if (expected.uiFont && dpi != 96) {
                EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), UiFont.get());
                EXPECT_GE(SpareWidth(control, dpi), 0) << "text cut";
            }
        }
        LOGFONTW uiFont{};
        GetObjectW(UiFont.get(), sizeof(uiFont), &uiFont);
        EXPECT_EQ(uiFont.lfHeight, MulDiv(14, dpi, 96));
        EXPECT_EQ(FaceOf(window, UiFont.get()), L"Tahoma");
        RECT panel{};
        GetClientRect(Control(IDC_DROP_PANEL), &panel);
        BITMAP picture{};
        ASSERT_TRUE(GetObjectW(DropPicture.get(), sizeof(picture), &picture));
        EXPECT_GE(picture.bmWidth, panel.right) << "never blown up";
        EXPECT_GE(picture.bmHeight, panel.bottom);
        if (dpi == 96) {
            EXPECT_EQ(picture.bmWidth, 420);
            EXPECT_GT(outer.right - outer.left, 450) << "the window came from 200 %";
            GetWindowRect(window, &outer);
            EXPECT_EQ(outer.right - outer.left, 450);
            EXPECT_EQ(outer.bottom - outer.top, 690);
        }
        EXPECT_EQ(Text(IDC_NAME), L"Holiday");
        EXPECT_TRUE(Checked(IDC_FILL_TAGS));
        EXPECT_TRUE(Checked(IDC_NUMBER));
    }
}
