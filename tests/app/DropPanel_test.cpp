// The drop panel with real drop handles: the first path, taken whole, becomes the chosen folder.
#include "MainWindowFixture.h"

#include "TempFolder.h"

TEST_F(MainWindowTest, DropTakesTheFirstPathOnlyAndEnablesStart)
{
    Open();
    EnableWindow(Control(IDC_START), FALSE);
    SendMessageW(Control(IDC_DROP_PANEL), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(MakeDrop({L"C:\\First", L"C:\\Second", L"C:\\Third"})), 0);
    EXPECT_EQ(ChosenFolder, L"C:\\First");
    EXPECT_EQ(Settings.Folder, L"C:\\First");
    EXPECT_EQ(Text(IDC_FOLDER), L"C:\\First");
    EXPECT_TRUE(Enabled(IDC_START));
}

TEST_F(MainWindowTest, EmptyDropChangesNothing)
{
    WriteStringSetting(L"Folder", L"C:\\Kept");
    Open();
    SendMessageW(Control(IDC_DROP_PANEL), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({})), 0);
    EXPECT_EQ(Text(IDC_FOLDER), L"C:\\Kept");
    EXPECT_EQ(Settings.Folder, L"C:\\Kept");
    EXPECT_EQ(ChosenFolder, L"");
}

TEST_F(MainWindowTest, LongDroppedPathIsTakenWhole)
{
    // A path cut to 259 characters could name a different, existing folder.
    std::wstring longPath = L"C:\\" + std::wstring(250, L'a') + L"\\" + std::wstring(150, L'b');
    Open();
    SendMessageW(Control(IDC_DROP_PANEL), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({longPath})), 0);
    EXPECT_EQ(ChosenFolder, longPath);
    EXPECT_EQ(Settings.Folder, longPath);
    EXPECT_EQ(Text(IDC_FOLDER), longPath);
}

TEST_F(MainWindowTest, DropAfterFavoritesReplacesTheFolderLineAndKeepsTheMode)
{
    TempFolder dropped;
    Open();
    Click(IDC_FAVORITES);
    SendMessageW(Control(IDC_DROP_PANEL), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({dropped.path()})), 0);
    EXPECT_EQ(Text(IDC_FOLDER), dropped.path());
    EXPECT_EQ(CurrentMode, ModeFavorites);
    EXPECT_TRUE(Checked(IDC_FAVORITES));
}

TEST_F(MainWindowTest, DropPanelPaintsThePictureOneToOne)
{
    Open();
    HWND panel = Control(IDC_DROP_PANEL);
    HDC screen = GetDC(panel);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, 420, 300);
    HGDIOBJ old = SelectObject(memory, target);
    EXPECT_EQ(SendMessageW(panel, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0), 1);

    HDC pictureDc = CreateCompatibleDC(screen);
    HGDIOBJ oldPicture = SelectObject(pictureDc, DropPicture.get());
    int same = 0;
    for (int y = 0; y < 300; y += 7)
        for (int x = 0; x < 420; x += 7)
            same += GetPixel(memory, x, y) == GetPixel(pictureDc, x, y);
    EXPECT_EQ(same, 43 * 60); // every sampled pixel
    // The picture is drawn, not blank: it has more than a handful of colours.
    EXPECT_NE(GetPixel(memory, 210, 60), GetPixel(memory, 5, 5));
    SelectObject(pictureDc, oldPicture);
    DeleteDC(pictureDc);
    SelectObject(memory, old);
    DeleteObject(target);
    DeleteDC(memory);
    ReleaseDC(panel, screen);
}
