// The auxiliary windows driven from outside: Help > Contents opens the HTML Help viewer on
// nomaro.chm, About and Free Book open their windows, and the links do what they say.
#include "DesktopDriver.h"
#include "ScratchRegistry.h"
#include "TempFolder.h"
#include "UniqueHandle.h"
#include "WaitUntil.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
constexpr wchar_t kOfferClass[] = L"Nomaro_FreeBook";

std::wstring ExeFolder()
{
    const std::wstring& exe = NomaroExePath();
    return exe.substr(0, exe.find_last_of(L'\\'));
}

// A link is a static control: a click is a button press and release over it.
void ClickLink(HWND dialog, int id)
{
    HWND link = GetDlgItem(dialog, id);
    PostMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
}

std::vector<HWND> WindowsOfClass(DWORD processId, const std::wstring& className)
{
    std::vector<HWND> found;
    for (HWND window : TopLevelWindows(processId)) {
        if (WindowClassName(window) == className)
            found.push_back(window);
    }
    return found;
}

RECT WindowBounds(HWND window)
{
    RECT bounds{};
    GetWindowRect(window, &bounds);
    return bounds;
}

// Points the .pdf type at a command that records what it was asked to open, and puts the
// association back exactly as it was afterwards (the real Nomaro.exe reads the real one).
class RecordingPdfHandler {
public:
    explicit RecordingPdfHandler(const std::wstring& record)
    {
        if (!previousType_.saved()) {
            ADD_FAILURE() << "the .pdf association could not be saved, so it is left alone";
            return;
        }
        std::wstring command = L"C:\\windows\\system32\\cmd.exe /c echo %1>\"" + record + L"\"";
        SetDefault(L".pdf", L"NomaroTest.Pdf");
        SetDefault(L"NomaroTest.Pdf\\shell\\open\\command", command);
    }
    ~RecordingPdfHandler() { RegDeleteTreeW(HKEY_CLASSES_ROOT, L"NomaroTest.Pdf"); }
    RecordingPdfHandler(const RecordingPdfHandler&) = delete;
    RecordingPdfHandler& operator=(const RecordingPdfHandler&) = delete;

private:
    static void SetDefault(const wchar_t* path, const std::wstring& value)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), ERROR_SUCCESS);
        UniqueKey owner(key);
        RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }

    SavedRegistryValue previousType_{HKEY_CLASSES_ROOT, L".pdf", L""};
};

} // namespace

TEST(Auxiliary, HelpContentsOpensTheHelpViewerOnTheHelpFile)
{
    TempFolder startedFrom;
    std::string help = ReadFileBytes(ExeFolder() + L"\\nomaro.chm");
    ASSERT_GT(help.size(), 1000u) << "the build places nomaro.chm beside the exe";
    ASSERT_EQ(help.substr(0, 4), "ITSF");
    WriteFileBytes(startedFrom / L"nomaro.chm", help);

    RunningNomaro nomaro(startedFrom.path());
    ASSERT_NE(nomaro.main(), nullptr);
    PostMenuCommand(nomaro.main(), IDM_HELP_CONTENTS);
    HWND viewer = WaitForWindow(nomaro.processId(), L"HH Parent", L"", 60000);
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(WindowText(viewer), L"Nomaro Help");
    PostMessageW(viewer, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(viewer) || !IsWindowVisible(viewer); }, 20000));

    // A second request opens the viewer again from the same loaded library.
    PostMenuCommand(nomaro.main(), IDM_HELP_CONTENTS);
    EXPECT_NE(WaitForWindow(nomaro.processId(), L"HH Parent", L"Nomaro Help", 60000), nullptr);
}

TEST(Auxiliary, AboutOpensOverTheMainWindowAndClosesWithOk)
{
    TempFolder startedFrom;
    RunningNomaro nomaro(startedFrom.path());
    ASSERT_NE(nomaro.main(), nullptr);
    PostMenuCommand(nomaro.main(), IDM_ABOUT);
    HWND about = WaitForWindow(nomaro.processId(), L"#32770", L"About Nomaro");
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(IsWindowEnabled(nomaro.main())) << "the About dialog is modal";

    EXPECT_EQ(WindowText(GetDlgItem(about, IDC_ABOUT_PRODUCT)).rfind(L"Nomaro ", 0), 0u);
    EXPECT_EQ(WindowText(GetDlgItem(about, IDC_ABOUT_MORE_INFO)), L"Click here for more information");
    EXPECT_EQ(WindowText(GetDlgItem(about, IDC_ABOUT_NOTICE)), L"");
    // Centred over the main window, but never beyond the edges of the work area.
    RECT owner = WindowBounds(nomaro.main());
    RECT box = WindowBounds(about);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(nomaro.main(), MONITOR_DEFAULTTONEAREST), &monitor);
    LONG left = owner.left + ((owner.right - owner.left) - (box.right - box.left)) / 2;
    LONG top = owner.top + ((owner.bottom - owner.top) - (box.bottom - box.top)) / 2;
    left = std::max(monitor.rcWork.left, std::min(left, monitor.rcWork.right - (box.right - box.left)));
    top = std::max(monitor.rcWork.top, std::min(top, monitor.rcWork.bottom - (box.bottom - box.top)));
    EXPECT_EQ(box.left, left);
    EXPECT_EQ(box.top, top);

    PressDialogButton(about, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(nomaro.main()) != FALSE; }));
}

TEST(Auxiliary, AboutLinkOpensTheOfferWindowWhichOutlivesTheDialog)
{
    TempFolder startedFrom;
    RunningNomaro nomaro(startedFrom.path());
    ASSERT_NE(nomaro.main(), nullptr);
    PostMenuCommand(nomaro.main(), IDM_ABOUT);
    HWND about = WaitForWindow(nomaro.processId(), L"#32770", L"About Nomaro");
    ASSERT_NE(about, nullptr);

    ClickLink(about, IDC_ABOUT_MORE_INFO);
    HWND offer = WaitForWindow(nomaro.processId(), kOfferClass, L"Free Book");
    ASSERT_NE(offer, nullptr);
    EXPECT_EQ(GetWindow(offer, GW_OWNER), nomaro.main());
    EXPECT_TRUE(IsWindow(about)) << "the About dialog stays open";

    PostMessageW(about, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }));
    EXPECT_TRUE(IsWindowVisible(offer));
    EXPECT_EQ(WindowsOfClass(nomaro.processId(), kOfferClass).size(), 1u);
}

TEST(Auxiliary, FreeBookOpensOneWindowAtItsPlace)
{
    TempFolder startedFrom;
    RunningNomaro nomaro(startedFrom.path());
    ASSERT_NE(nomaro.main(), nullptr);
    PostMenuCommand(nomaro.main(), IDM_FREE_BOOK);
    HWND offer = WaitForWindow(nomaro.processId(), kOfferClass, L"Free Book");
    ASSERT_NE(offer, nullptr);

    RECT desktop{};
    GetClientRect(GetDesktopWindow(), &desktop);
    EXPECT_TRUE(WaitUntil([&] {
        RECT bounds = WindowBounds(offer);
        return bounds.left == desktop.right / 2 - 300 && bounds.top == desktop.bottom / 2 - 225 &&
               bounds.right - bounds.left == 600 && bounds.bottom - bounds.top == 420;
    })) << "at " << WindowBounds(offer).left << "," << WindowBounds(offer).top;
    EXPECT_EQ(WindowText(GetDlgItem(offer, IDC_OFFER_PDF)), L"Free Book Offer (Adobe\u00ae PDF)");

    PostMenuCommand(nomaro.main(), IDM_FREE_BOOK);
    PostMenuCommand(nomaro.main(), IDM_FREE_BOOK);
    // The main window's queue is served in order: once a later command has run, so have these.
    PostMenuCommand(nomaro.main(), IDM_ABOUT);
    HWND about = WaitForWindow(nomaro.processId(), L"#32770", L"About Nomaro");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(WindowsOfClass(nomaro.processId(), kOfferClass), std::vector<HWND>{offer});
    PressDialogButton(about, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }));

    // Closing it and asking again makes a new one.
    PostMessageW(offer, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(offer); }));
    PostMenuCommand(nomaro.main(), IDM_FREE_BOOK);
    EXPECT_NE(WaitForWindow(nomaro.processId(), kOfferClass, L"Free Book"), nullptr);
}

TEST(Auxiliary, TheOfferLinkOpensOfferPdfFromTheProgramFolder)
{
    ASSERT_EQ(ReadFileBytes(ExeFolder() + L"\\offer.pdf").substr(0, 8), "%PDF-1.4");
    TempFolder startedFrom;
    TempFolder records;
    std::wstring record = records / L"opened.txt";
    RecordingPdfHandler handler(record);

    RunningNomaro nomaro(startedFrom.path());
    ASSERT_NE(nomaro.main(), nullptr);
    PostMenuCommand(nomaro.main(), IDM_FREE_BOOK);
    HWND offer = WaitForWindow(nomaro.processId(), kOfferClass, L"Free Book");
    ASSERT_NE(offer, nullptr);
    ClickLink(offer, IDC_OFFER_PDF);

    ASSERT_TRUE(WaitUntil([&] { return ReadFileBytes(record).find("offer.pdf") != std::string::npos; }, 30000));
    std::string opened = ReadFileBytes(record);
    std::string expected = Narrow(ExeFolder() + L"\\offer.pdf");
    EXPECT_NE(opened.find(expected), std::string::npos) << opened << " expected " << expected;
}
