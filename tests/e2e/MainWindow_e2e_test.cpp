// The main window driven from outside as a user drives it: its controls, the defaults of a
// first start, Upper, Read-Only and Favorites runs from the Start button, a folder dropped
// on the picture, and a close in the middle of a run.
#include "DesktopDriver.h"
#include "ScratchRegistry.h"
#include "TempFolder.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>

namespace {
const wchar_t kSettingsKey[] = L"SOFTWARE\\Kestrith\\Nomaro";

void StoreString(const wchar_t* name, const std::wstring& text)
{
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name, REG_SZ, text.c_str(),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void StoreDword(const wchar_t* name, DWORD value)
{
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name, REG_DWORD, &value, sizeof(value));
}

struct Stored {
    DWORD type = REG_NONE;
    std::wstring text;
    DWORD number = 0;
};

Stored ReadStored(const wchar_t* name)
{
    Stored stored;
    BYTE bytes[8192] = {};
    DWORD size = sizeof(bytes) - 2;
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_ANY | RRF_NOEXPAND, &stored.type, bytes, &size) !=
        ERROR_SUCCESS)
        return stored;
    if (stored.type == REG_DWORD)
        memcpy(&stored.number, bytes, sizeof(DWORD));
    else
        stored.text = reinterpret_cast<const wchar_t*>(bytes);
    return stored;
}

// One running Nomaro in GUI mode, started in its own StartDirectory.
class Session {
public:
    HWND main() const { return nomaro_.main(); }
    HWND control(int id) const { return GetDlgItem(main(), id); }
    DWORD processId() const { return nomaro_.processId(); }
    bool checked(int id) const { return SendMessageW(control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool enabled(int id) const { return IsWindowEnabled(control(id)) != FALSE; }
    std::wstring text(int id) const { return WindowText(control(id)); }

    // Clicks a mode radio and waits until the window has taken it.
    bool chooseMode(int radio)
    {
        ClickControl(main(), radio);
        return WaitUntil([&] { return checked(radio); }, 10000);
    }
    // Presses Start and waits for the first captioned box.
    MessageBoxInfo start()
    {
        ClickControl(main(), IDC_START);
        return WaitForCaptionedBox(processId());
    }
    static void answer(const MessageBoxInfo& box)
    {
        if (box.window)
            PressDialogButton(box.window, IDOK);
    }
    // Closes the window as its caption box does; gives the exit code.
    DWORD close()
    {
        PostMessageW(main(), WM_CLOSE, 0, 0);
        return WaitForExit(nomaro_.program(), 30000);
    }
    DWORD waitForExit(DWORD timeoutMs) { return WaitForExit(nomaro_.program(), timeoutMs); }

private:
    TempFolder start_; // made before the program that starts in it
    RunningNomaro nomaro_{start_.path()};
};

class MainWindowE2e : public testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey); }
    TempFolder root_;
};

struct ExpectedControl {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    int x, y, width, height; // x < 0: from the client's right edge
};

const ExpectedControl kTable[] = {
    {IDC_PROGRESS, L"msctls_progress32", L"", -180, 20, 160, 20},
    {IDC_LOWER, L"Button", L"Convert to Lower Case", 5, 5, 150, 20},
    {IDC_UPPER, L"Button", L"Convert to Upper Case", 5, 25, 150, 20},
    {IDC_READ_ONLY, L"Button", L"Remove Read-Only Attributes", 5, 45, 180, 20},
    {IDC_FAVORITES, L"Button", L"Favorites Folder: Sort && Lower Case", 5, 65, 275, 20},
    {IDC_LISTING, L"Button", L"Print File Listing to File", 5, 85, 275, 20},
    {IDC_FONT_LABEL, L"Static", L"Font: ", 22, 107, 80, 20},
    {IDC_FORMAT_LABEL, L"Static", L"Format: ", 22, 129, 80, 20},
    {IDC_FONT_NAME, L"Static", L"Consolas", 150, 107, 80, 20},
    {IDC_FONT_SELECT, L"Button", L"Select", 80, 104, 60, 22},
    {IDC_NUMBER, L"Button", L"Rename and Number Files (i.e. MyFile0001.jpg)", 5, 153, 275, 20},
    {IDC_NAME, L"Edit", L"", 150, 177, 100, 20},
    {IDC_EXT, L"Edit", L"jpg,gif,png,bmp,mp3", 150, 199, 150, 20},
    {IDC_START_NUMBER, L"Edit", L"000000", 150, 221, 80, 20},
    {IDC_FILL_TAGS, L"Button", L" (fills mp3 tags with Nomaro tag)", 150, 243, 240, 20},
    {IDC_NAME_LABEL, L"Static", L"Name for files: ", 22, 179, 80, 20},
    {IDC_EXT_LABEL, L"Static", L"Only these extensions: ", 22, 201, 127, 20},
    {IDC_START_NUMBER_LABEL, L"Static", L"Start numbers at: ", 22, 223, 100, 20},
    {IDC_FILL_TAGS_LABEL, L"Static", L"Fill MP3 info tags: ", 22, 245, 100, 20},
    {IDC_FOLDER_LABEL, L"Static", L"Folder:", 8, 276, 40, 20},
    {IDC_FOLDER, L"Static", L"", 48, 276, 380, 20},
    {IDC_START, L"Button", L"Start", 5, 296, 80, 24},
    {IDC_DROP_PANEL, L"Nomaro_DragDrop", L"", 5, 326, 426, 306},
    {IDC_RTF, L"Button", L"RTF Format", 80, 128, 100, 20},
    {IDC_PLAIN_TEXT, L"Button", L"Plain Text", 180, 128, 100, 20},
};

constexpr int kNumberingGroup[] = {IDC_NAME,         IDC_NAME_LABEL,         IDC_EXT,       IDC_EXT_LABEL,
                                   IDC_START_NUMBER, IDC_START_NUMBER_LABEL, IDC_FILL_TAGS, IDC_FILL_TAGS_LABEL};
constexpr int kListingGroup[] = {IDC_FONT_LABEL, IDC_FONT_NAME, IDC_FORMAT_LABEL, IDC_FONT_SELECT, IDC_RTF, IDC_PLAIN_TEXT};

// Puts a drop handle into the program, as the shell does for a drop from Explorer, and
// posts it to the drop panel.
bool DropOnto(DWORD processId, HWND panel, const std::wstring& path)
{
    std::vector<BYTE> block(sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t), 0);
    auto* header = reinterpret_cast<DROPFILES*>(block.data());
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    memcpy(block.data() + sizeof(DROPFILES), path.c_str(), path.size() * sizeof(wchar_t));
    UniqueKernelHandle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId));
    if (!process)
        return false;
    void* remote = VirtualAllocEx(process.get(), nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote || !WriteProcessMemory(process.get(), remote, block.data(), block.size(), nullptr))
        return false;
    return PostMessageW(panel, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0) != FALSE;
}
} // namespace

TEST_F(MainWindowE2e, FirstStartShowsTheTableWithItsDefaultsAndClosingStoresThem)
{
    Session nomaro;
    ASSERT_NE(nomaro.main(), nullptr);
    EXPECT_EQ(WindowText(nomaro.main()), L"Nomaro by Kestrith");
    RECT outer{}, client{};
    GetWindowRect(nomaro.main(), &outer);
    GetClientRect(nomaro.main(), &client);
    EXPECT_EQ(outer.right - outer.left, 450);
    EXPECT_EQ(outer.bottom - outer.top, 690);
    for (const ExpectedControl& expected : kTable) {
        SCOPED_TRACE(expected.id);
        HWND control = nomaro.control(expected.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(WindowClassName(control), expected.className);
        EXPECT_EQ(WindowText(control), expected.text);
        RECT rect{};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, nomaro.main(), reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, expected.x < 0 ? client.right + expected.x : expected.x);
        EXPECT_EQ(rect.top, expected.y);
        EXPECT_EQ(rect.right - rect.left, expected.width);
        EXPECT_EQ(rect.bottom - rect.top, expected.height);
    }
    EXPECT_FALSE(IsWindowVisible(nomaro.control(IDC_PROGRESS)));
    EXPECT_TRUE(nomaro.checked(IDC_LOWER));
    EXPECT_TRUE(nomaro.checked(IDC_RTF));
    EXPECT_FALSE(nomaro.checked(IDC_PLAIN_TEXT));
    EXPECT_FALSE(nomaro.checked(IDC_FILL_TAGS));
    for (int id : kNumberingGroup)
        EXPECT_FALSE(nomaro.enabled(id)) << id;
    for (int id : kListingGroup)
        EXPECT_FALSE(nomaro.enabled(id)) << id;
    EXPECT_TRUE(nomaro.enabled(IDC_START));

    EXPECT_EQ(nomaro.close(), 0u);
    const struct {
        const wchar_t* name;
        DWORD type;
        const wchar_t* text;
        DWORD number;
    } stored[] = {{L"Tag", REG_SZ, L"", 0},       {L"Extention", REG_SZ, L"jpg,gif,png,bmp,mp3", 0},
                  {L"Number", REG_SZ, L"000000", 0}, {L"Folder", REG_SZ, L"", 0},
                  {L"FillTags", REG_DWORD, L"", 0}, {L"Function", REG_DWORD, L"", 0},
                  {L"Font", REG_SZ, L"Consolas", 0}, {L"Rtf", REG_DWORD, L"", 1}};
    for (const auto& value : stored) {
        Stored read = ReadStored(value.name);
        EXPECT_EQ(read.type, value.type) << Narrow(value.name);
        EXPECT_EQ(read.text, value.text) << Narrow(value.name);
        EXPECT_EQ(read.number, value.number) << Narrow(value.name);
    }
}

TEST_F(MainWindowE2e, EachModeRadioEnablesItsGroup)
{
    Session nomaro;
    ASSERT_NE(nomaro.main(), nullptr);
    ASSERT_TRUE(nomaro.chooseMode(IDC_NUMBER));
    EXPECT_TRUE(WaitUntil([&] { return nomaro.enabled(IDC_NAME); }, 5000));
    for (int id : kNumberingGroup)
        EXPECT_TRUE(nomaro.enabled(id)) << id;
    for (int id : kListingGroup)
        EXPECT_FALSE(nomaro.enabled(id)) << id;
    ASSERT_TRUE(nomaro.chooseMode(IDC_LISTING));
    EXPECT_TRUE(WaitUntil([&] { return nomaro.enabled(IDC_RTF); }, 5000));
    for (int id : kNumberingGroup)
        EXPECT_FALSE(nomaro.enabled(id)) << id;
    for (int id : kListingGroup)
        EXPECT_TRUE(nomaro.enabled(id)) << id;
    EXPECT_FALSE(nomaro.checked(IDC_NUMBER));
    for (int radio : {IDC_UPPER, IDC_READ_ONLY, IDC_FAVORITES, IDC_LOWER}) {
        ASSERT_TRUE(nomaro.chooseMode(radio));
        EXPECT_TRUE(WaitUntil([&] { return !nomaro.enabled(IDC_RTF); }, 5000)) << radio;
        EXPECT_FALSE(nomaro.enabled(IDC_NAME)) << radio;
    }
    EXPECT_EQ(nomaro.close(), 0u);
    EXPECT_EQ(ReadStored(L"Function").number, 0u);
}

TEST_F(MainWindowE2e, StartWithoutAFolderSaysHowToChooseOne)
{
    Session nomaro;
    ASSERT_NE(nomaro.main(), nullptr);
    MessageBoxInfo box = nomaro.start();
    EXPECT_EQ(box.caption, L"Nomaro");
    EXPECT_EQ(box.text, L"No folder has been selected. Please select a folder by dragging a folder onto the image below "
                        L"or by using File->Browse...");
    Session::answer(box);
    EXPECT_TRUE(WaitUntil([&] { return nomaro.enabled(IDC_START); }, 5000));
    EXPECT_EQ(nomaro.close(), 0u);
}

TEST_F(MainWindowE2e, UpperRunFromTheRememberedFolder)
{
    root_.WriteFile(L"photos\\summer\\img_0001.jpg", "jpeg");
    root_.WriteFile(L"notes.txt", "text");
    StoreString(L"Folder", root_.path());
    Session nomaro;
    ASSERT_NE(nomaro.main(), nullptr);
    EXPECT_EQ(nomaro.text(IDC_FOLDER), root_.path());
    ASSERT_TRUE(nomaro.chooseMode(IDC_UPPER));
    MessageBoxInfo box = nomaro.start();
    EXPECT_EQ(box.caption, L"Lower");
    EXPECT_EQ(box.text, L"Done!");
    EXPECT_FALSE(nomaro.enabled(IDC_START)) << "Start comes back after the closing message";
    Session::answer(box);
    EXPECT_TRUE(WaitUntil([&] { return nomaro.enabled(IDC_START); }, 5000));
    EXPECT_EQ(ListTree(root_.path()), (std::vector<std::wstring>{L".\\NOTES.TXT", L".\\PHOTOS", L".\\PHOTOS\\SUMMER",
                                                                  L".\\PHOTOS\\SUMMER\\IMG_0001.JPG"}));
    EXPECT_EQ(ReadFileBytes(root_ / L"PHOTOS\\SUMMER\\IMG_0001.JPG"), "jpeg");
    // Start saved the settings before the run.
    EXPECT_EQ(ReadStored(L"Function").number, 1u);
    EXPECT_EQ(nomaro.close(), 0u);
    EXPECT_EQ(ReadStored(L"Function").number, 1u);
    EXPECT_EQ(ReadStored(L"Folder").text, root_.path());
}

TEST_F(MainWindowE2e, ReadOnlyRunClearsOnlyTheReadOnlyBit)
{
    root_.WriteFile(L"Docs\\Report.DOC", "doc");
    root_.WriteFile(L"Docs\\Hidden.TXT", "h");
    SetFileAttributesW((root_ / L"Docs\\Report.DOC").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW((root_ / L"Docs\\Hidden.TXT").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW((root_ / L"Docs").c_str(), FILE_ATTRIBUTE_READONLY);
    StoreString(L"Folder", root_.path());
    StoreDword(L"Function", 6);
    Session nomaro;
    ASSERT_NE(nomaro.main(), nullptr);
    EXPECT_TRUE(nomaro.checked(IDC_READ_ONLY));
    MessageBoxInfo box = nomaro.start();
    EXPECT_EQ(box.caption, L"Lower");
    EXPECT_EQ(box.text, L"Done!");
    Session::answer(box);
    EXPECT_EQ(GetFileAttributesW((root_ / L"Docs\\Report.DOC").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(GetFileAttributesW((root_ / L"Docs\\Hidden.TXT").c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              DWORD(FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(GetFileAttributesW((root_ / L"Docs").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    // Names stay as they were.
    EXPECT_EQ(ListTree(root_.path()),
              (std::vector<std::wstring>{L".\\Docs", L".\\Docs\\Hidden.TXT", L".\\Docs\\Report.DOC"}));
    EXPECT_EQ(nomaro.close(), 0u);
    EXPECT_EQ(ReadStored(L"Function").number, 6u);
}

TEST_F(MainWindowE2e, FavoritesRunLowerCasesTheFavoritesFolder)
{
    // Nomaro reads the Favorites folder from the user's registry: it is pointed at the test's own
    // for this test, and put back afterwards.
    TempFolder favorites;
    RedirectedShellFolder redirected(L"Favorites", favorites.path());
    ASSERT_TRUE(redirected.made());
    favorites.WriteFile(L"Nomaro E2E Link.URL", "[InternetShortcut]\r\nURL=http://example.com/\r\n");
    favorites.MakeFolder(L"NOMARO E2E FOLDER");
    StoreString(L"Folder", root_.path());

    Session nomaro;
    ASSERT_NE(nomaro.main(), nullptr);
    ASSERT_TRUE(nomaro.chooseMode(IDC_FAVORITES));
    // Where the shell would not take the test's folder, Start is never pressed.
    ASSERT_TRUE(WaitUntil([&] { return nomaro.text(IDC_FOLDER) == favorites.path(); }, 5000))
        << Narrow(nomaro.text(IDC_FOLDER));
    MessageBoxInfo box = nomaro.start();
    EXPECT_EQ(box.caption, L"Lower");
    EXPECT_EQ(box.text, L"Done! You should now restart Internet Explorer.");
    Session::answer(box);
    EXPECT_EQ(ListNames(favorites.path()), (std::vector<std::wstring>{L"nomaro e2e folder", L"nomaro e2e link.url"}));
    EXPECT_EQ(nomaro.close(), 0u);
    EXPECT_EQ(ReadStored(L"Function").number, 2u);
    // Start saved the folder line, which showed the Favorites folder.
    EXPECT_EQ(ReadStored(L"Folder").text, favorites.path());
}

TEST_F(MainWindowE2e, DroppedFolderBecomesTheChosenFolder)
{
    root_.WriteFile(L"DROPPED\\INSIDE.TXT");
    Session nomaro;
    ASSERT_NE(nomaro.main(), nullptr);
    std::wstring dropped = root_ / L"DROPPED";
    ASSERT_TRUE(DropOnto(nomaro.processId(), nomaro.control(IDC_DROP_PANEL), dropped));
    ASSERT_TRUE(WaitUntil([&] { return nomaro.text(IDC_FOLDER) == dropped; }, 10000)) << Narrow(nomaro.text(IDC_FOLDER));
    MessageBoxInfo box = nomaro.start();
    EXPECT_EQ(box.text, L"Done!");
    Session::answer(box);
    EXPECT_EQ(ListTree(root_.path()), (std::vector<std::wstring>{L".\\DROPPED", L".\\DROPPED\\inside.txt"}));
    EXPECT_EQ(nomaro.close(), 0u);
    EXPECT_EQ(ReadStored(L"Folder").text, dropped);
}

namespace {
void TypeInto(HWND control, const std::wstring& text)
{
    SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000, nullptr);
}
} // namespace

TEST_F(MainWindowE2e, StartSavesAllEightValuesBeforeItsChecksAndClosingSavesThemAgain)
{
    root_.WriteFile(L"a.jpg");
    Session nomaro;
    ASSERT_NE(nomaro.main(), nullptr);
    ASSERT_TRUE(nomaro.chooseMode(IDC_NUMBER));
    ASSERT_TRUE(WaitUntil([&] { return nomaro.enabled(IDC_NAME); }, 5000));
    TypeInto(nomaro.control(IDC_NAME), L"Trip");
    TypeInto(nomaro.control(IDC_EXT), L"jpg, png");
    TypeInto(nomaro.control(IDC_START_NUMBER), L"12a"); // pasted: ES_NUMBER only stops typing
    TypeInto(nomaro.control(IDC_FOLDER), root_.path());
    ClickControl(nomaro.main(), IDC_FILL_TAGS);
    ASSERT_TRUE(WaitUntil([&] { return nomaro.checked(IDC_FILL_TAGS); }, 5000));

    MessageBoxInfo box = nomaro.start();
    EXPECT_EQ(box.caption, L"Nomaro");
    EXPECT_EQ(box.text, L"Please use numbers only for the starting number.");
    // Saved before the check refused the number, the bad text included.
    EXPECT_EQ(ReadStored(L"Tag").text, L"Trip");
    EXPECT_EQ(ReadStored(L"Extention").text, L"jpg, png");
    EXPECT_EQ(ReadStored(L"Number").text, L"12a");
    EXPECT_EQ(ReadStored(L"Folder").text, root_.path());
    EXPECT_EQ(ReadStored(L"FillTags").number, 1u);
    EXPECT_EQ(ReadStored(L"Function").number, 3u);
    EXPECT_EQ(ReadStored(L"Font").text, L"Consolas");
    EXPECT_EQ(ReadStored(L"Rtf").number, 1u);
    Session::answer(box);
    EXPECT_EQ(ListNames(root_.path()), (std::vector<std::wstring>{L"a.jpg"}));

    // A file is refused in the numbering mode, and the run still ends with "Done!".
    TypeInto(nomaro.control(IDC_START_NUMBER), L"7");
    TypeInto(nomaro.control(IDC_FOLDER), root_ / L"a.jpg");
    box = nomaro.start();
    EXPECT_EQ(box.caption, L"Nomaro");
    EXPECT_EQ(box.text, L"You can only use folders for this function.");
    Session::answer(box);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box.window); }, 5000));
    box = WaitForCaptionedBox(nomaro.processId());
    EXPECT_EQ(box.caption, L"Lower");
    EXPECT_EQ(box.text, L"Done!");
    Session::answer(box);
    EXPECT_EQ(ListNames(root_.path()), (std::vector<std::wstring>{L"a.jpg"}));

    ASSERT_TRUE(nomaro.chooseMode(IDC_LISTING));
    ClickControl(nomaro.main(), IDC_PLAIN_TEXT);
    ASSERT_TRUE(WaitUntil([&] { return nomaro.checked(IDC_PLAIN_TEXT); }, 5000));
    TypeInto(nomaro.control(IDC_NAME), L"Later");
    EXPECT_EQ(nomaro.close(), 0u);
    EXPECT_EQ(ReadStored(L"Tag").text, L"Later");
    EXPECT_EQ(ReadStored(L"Number").text, L"7");
    EXPECT_EQ(ReadStored(L"Folder").text, root_ / L"a.jpg");
    EXPECT_EQ(ReadStored(L"Function").number, 5u);
    EXPECT_EQ(ReadStored(L"Rtf").number, 0u);
    EXPECT_EQ(ReadStored(L"FillTags").number, 1u);
}
