// The real Nomaro.exe started at 144 and 192 DPI and read from outside: laid out for that DPI and
// all of it inside the window, and at 144 DPI the names a screen reader announces and the Tab
// order of Number mode, keys sent to it as a user's would come.
#include "DesktopDriver.h"
#include "ScratchRegistry.h"
#include "TempFolder.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <oleacc.h>

#include <memory>
#include <vector>

namespace {
const wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
const wchar_t kLogPixels[] = L"LogPixels";

// The controls a screen reader names by more than their text, with their places at 96 DPI: they
// show that the layout was made for the DPI Nomaro started at, and the drop panel reaches furthest
// right and down of all (every control at every DPI: MainWindow_test).
struct Control {
    int id;
    int x, y, width, height; // at 96 DPI; x < 0 counts back from the client's right edge
    const wchar_t* name;
};

const Control kNamedControls[] = {
    {IDC_PROGRESS, -180, 20, 160, 20, L"Progress"},
    {IDC_NAME, 150, 177, 100, 20, L"Name for files"},
    {IDC_EXT, 150, 199, 150, 20, L"Only these extensions"},
    {IDC_START_NUMBER, 150, 221, 80, 20, L"Start numbers at"},
    {IDC_FILL_TAGS, 150, 243, 240, 20, L"Fill MP3 info tags (fills mp3 tags with Nomaro tag)"},
    {IDC_DROP_PANEL, 5, 326, 426, 306, L"Drop a folder here, or choose it with File, Browse"},
};

// Number mode from its name field on: Tab goes down the fields to Start and round to the radio.
const int kNumberTabOrder[] = {IDC_NAME, IDC_EXT, IDC_START_NUMBER, IDC_FILL_TAGS, IDC_START, IDC_NUMBER, IDC_NAME};

// Wine reads the DPI of the prefix when a process starts: Nomaro is started with it set, and it
// is put back as soon as the window is there, for the tests that share the prefix.
std::unique_ptr<RunningNomaro> StartAtDpi(const std::wstring& folder, DWORD dpi)
{
    SavedRegistryValue logPixels(HKEY_CURRENT_USER, kDesktopKey, kLogPixels);
    if (!logPixels.saved())
        return nullptr;
    RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, kLogPixels, REG_DWORD, &dpi, sizeof(dpi));
    return std::make_unique<RunningNomaro>(folder);
}

std::wstring AccessibleName(HWND control)
{
    IAccessible* accessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&accessible))))
        return L"<no object>";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::wstring text = SUCCEEDED(accessible->get_accName(self, &name)) && name ? name : L"<no name>";
    SysFreeString(name);
    accessible->Release();
    return text;
}

HWND FocusOf(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

class HighDpiE2e : public testing::Test {
protected:
    void SetUp() override { CoInitialize(nullptr); }
    void TearDown() override { CoUninitialize(); }
    TempFolder start_;
};
} // namespace

TEST_F(HighDpiE2e, IsLaidOutForTheDpiItStartsAtNamedAndTabGoesAsTheEyeDoes)
{
    for (DWORD dpi : {144u, 192u}) {
        SCOPED_TRACE(dpi);
        std::unique_ptr<RunningNomaro> nomaro = StartAtDpi(start_.path(), dpi);
        ASSERT_TRUE(nomaro && nomaro->main());
        HWND main = nomaro->main();
        RECT client{};
        GetClientRect(main, &client);
        for (const Control& control : kNamedControls) {
            SCOPED_TRACE(control.id);
            HWND window = GetDlgItem(main, control.id);
            ASSERT_NE(window, nullptr);
            RECT rect{};
            GetWindowRect(window, &rect);
            MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&rect), 2);
            int dpiValue = static_cast<int>(dpi);
            int left = control.x < 0 ? client.right - MulDiv(-control.x, dpiValue, 96) : MulDiv(control.x, dpiValue, 96);
            EXPECT_NEAR(rect.left, left, 1);
            EXPECT_NEAR(rect.top, MulDiv(control.y, dpiValue, 96), 1);
            EXPECT_NEAR(rect.right - rect.left, MulDiv(control.width, dpiValue, 96), 1);
            EXPECT_NEAR(rect.bottom - rect.top, MulDiv(control.height, dpiValue, 96), 1);
            EXPECT_LE(rect.right, client.right) << "inside the window";
            EXPECT_LE(rect.bottom, client.bottom) << "inside the window";
            if (dpi == 144) {
                EXPECT_EQ(AccessibleName(window), control.name);
            }
        }
        if (dpi != 144)
            continue;
        ClickControl(main, IDC_NUMBER);
        ASSERT_TRUE(WaitUntil([&] { return FocusOf(main) == GetDlgItem(main, IDC_NAME); }, 10000))
            << "Number mode puts the focus in the name field";
        for (size_t i = 1; i < std::size(kNumberTabOrder); ++i) {
            PressKey(main, VK_TAB);
            EXPECT_TRUE(WaitUntil([&] { return FocusOf(main) == GetDlgItem(main, kNumberTabOrder[i]); }, 5000))
                << "Tab " << i << " ends on " << GetDlgCtrlID(FocusOf(main));
        }
    }
}
