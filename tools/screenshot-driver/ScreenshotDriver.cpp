// Starts Nomaro.exe, brings up each window worth reviewing and saves it as a 24-bit BMP
// (tools/screenshot turns them into PNGs). To add a shot, add a row to Shots(): a file
// name and a step that brings the window up and returns it (none skips the shot).
//   ScreenshotDriver.exe --nomaro=PATH --out=FOLDER
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {
// The control ids of the main window (src/resources/resource.h).
enum : int {
    IdUpper = 3251, IdLower = 3252, IdNumber = 3258, IdFolder = 3261, IdStart = 3265, IdFavorites = 3271,
    IdListing = 3273, IdReadOnly = 3280,
};
const wchar_t kSettingsKey[] = L"SOFTWARE\\Kestrith\\Nomaro";

std::wstring outFolder;
std::wstring treeFolder;
HANDLE nomaroProcess = nullptr;
DWORD nomaroId = 0;

template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs)
{
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (GetTickCount64() >= deadline)
            return false;
        Sleep(20);
    }
    return true;
}

std::wstring TextOf(HWND window)
{
    wchar_t text[1024] = L"";
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 3000, nullptr);
    return text;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[128] = L"";
    GetClassNameW(window, name, 128);
    return name;
}

// A visible top-level window of Nomaro with this class, whose caption passes the test.
HWND FindNomaroWindow(const std::wstring& className, const std::function<bool(HWND)>& accept, DWORD timeoutMs = 20000)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
                DWORD process = 0;
                GetWindowThreadProcessId(window, &process);
                if (process == nomaroId && IsWindowVisible(window) && ClassOf(window) == className && accept(window)) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

HWND MainWindow()
{
    return FindNomaroWindow(L"Nomaro_MainForm", [](HWND) { return true; });
}

// Copies the window's screen area into a 24-bit bottom-up BMP file.
bool SaveWindow(HWND window, const std::wstring& name)
{
    RECT rect{};
    if (!window || !GetWindowRect(window, &rect))
        return false;
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    DWORD imageSize = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
    file.bfSize = file.bfOffBits + imageSize;
    std::wstring path = outFolder + L"\\" + name + L".bmp";
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    bool ok = out != INVALID_HANDLE_VALUE && WriteFile(out, &file, sizeof(file), &written, nullptr) &&
              WriteFile(out, &info.bmiHeader, sizeof(info.bmiHeader), &written, nullptr) &&
              WriteFile(out, bits, imageSize, &written, nullptr);
    if (out != INVALID_HANDLE_VALUE)
        CloseHandle(out);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    std::printf("%s %ls\n", ok ? "saved" : "FAILED", path.c_str());
    return ok;
}

// Clicks a mode radio and lets the window repaint.
HWND ShowMode(int radio)
{
    HWND main = MainWindow();
    if (!main)
        return nullptr;
    PostMessageW(GetDlgItem(main, radio), BM_CLICK, 0, 0);
    WaitUntil([&] { return SendMessageW(GetDlgItem(main, radio), BM_GETCHECK, 0, 0) == BST_CHECKED; }, 5000);
    SetForegroundWindow(main);
    Sleep(400);
    return main;
}

// A tree big enough that the run is still collecting when the shot is taken.
void MakeTree()
{
    wchar_t temp[MAX_PATH + 1] = L"";
    GetTempPathW(MAX_PATH + 1, temp);
    treeFolder = std::wstring(temp) + L"nomaro-screenshot-tree";
    CreateDirectoryW(treeFolder.c_str(), nullptr);
    for (int i = 0; i < 800; ++i) {
        std::wstring folder = treeFolder + L"\\Folder " + std::to_wstring(i);
        CreateDirectoryW(folder.c_str(), nullptr);
        HANDLE file = CreateFileW((folder + L"\\Photo.JPG").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }
}

void RemoveTree(const std::wstring& path)
{
    std::wstring from = path + L'\0';
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NO_UI;
    SHFileOperationW(&operation);
}

HWND AnyMessageBox()
{
    return FindNomaroWindow(L"#32770", [](HWND window) { return !TextOf(window).empty(); }, 120000);
}

// Starts a Lower run over the big tree and catches the "Calculating..." box.
HWND ShowCalculating()
{
    HWND main = ShowMode(IdLower);
    if (!main)
        return nullptr;
    SendMessageW(GetDlgItem(main, IdFolder), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(treeFolder.c_str()));
    PostMessageW(GetDlgItem(main, IdStart), BM_CLICK, 0, 0);
    // The box has no caption; message boxes have one.
    return FindNomaroWindow(L"#32770", [](HWND window) { return TextOf(window).empty(); }, 20000);
}

// The closing message of that run.
HWND ShowDone()
{
    HWND box = AnyMessageBox();
    Sleep(300);
    return box;
}

void AnswerDone()
{
    if (HWND box = AnyMessageBox())
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

// The About dialog and the Free Book window, opened by their menu commands (IDM_ABOUT, IDM_FREE_BOOK).
HWND ShowAbout()
{
    HWND main = MainWindow();
    if (!main)
        return nullptr;
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(40006, 0), 0);
    HWND about = FindNomaroWindow(L"#32770", [](HWND window) { return TextOf(window) == L"About Nomaro"; });
    Sleep(400);
    return about;
}

void CloseAbout()
{
    if (HWND about = FindNomaroWindow(L"#32770", [](HWND window) { return TextOf(window) == L"About Nomaro"; }, 2000))
        PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    WaitUntil([] { return FindNomaroWindow(L"#32770", [](HWND) { return true; }, 0) == nullptr; }, 5000);
}

HWND ShowFreeBook()
{
    HWND main = MainWindow();
    if (!main)
        return nullptr;
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(40005, 0), 0);
    HWND offer = FindNomaroWindow(L"Nomaro_FreeBook", [](HWND) { return true; });
    Sleep(400);
    return offer;
}

void CloseFreeBook()
{
    if (HWND offer = FindNomaroWindow(L"Nomaro_FreeBook", [](HWND) { return true; }, 2000))
        PostMessageW(offer, WM_CLOSE, 0, 0);
}

// The Preview dialog for a Lower run over the big tree (IDM_PREVIEW).
HWND ShowPreview()
{
    HWND main = ShowMode(IdLower);
    if (!main)
        return nullptr;
    SendMessageW(GetDlgItem(main, IdFolder), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(treeFolder.c_str()));
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(40011, 0), 0);
    HWND preview = FindNomaroWindow(L"#32770", [](HWND window) { return TextOf(window) == L"Preview"; }, 60000);
    Sleep(600);
    return preview;
}

void ClosePreview()
{
    if (HWND preview = FindNomaroWindow(L"#32770", [](HWND window) { return TextOf(window) == L"Preview"; }, 2000))
        PostMessageW(preview, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    WaitUntil([] { return FindNomaroWindow(L"#32770", [](HWND) { return true; }, 0) == nullptr; }, 5000);
}

// The Find and Replace dialog over the big tree (IDM_FIND_REPLACE), with a search typed into it.
HWND ShowFindReplace()
{
    HWND main = ShowMode(IdLower);
    if (!main)
        return nullptr;
    SendMessageW(GetDlgItem(main, IdFolder), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(treeFolder.c_str()));
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(40012, 0), 0);
    auto isFindReplace = [](HWND window) { return TextOf(window) == L"Find and Replace"; };
    HWND dialog = FindNomaroWindow(L"#32770", isFindReplace, 60000);
    if (!dialog)
        return nullptr;
    // Typed, as a user types: the dialog plans again after each pause.
    const std::pair<int, const wchar_t*> fields[] = {{142, L"Photo"}, {145, L"Holiday "}};
    for (const auto& [id, text] : fields) {
        HWND edit = GetWindow(GetDlgItem(dialog, id), GW_CHILD);
        for (const wchar_t* unit = text; *unit; ++unit)
            PostMessageW(edit, WM_CHAR, *unit, 1);
    }
    Sleep(1500);
    return dialog;
}

void CloseFindReplace()
{
    if (HWND dialog = FindNomaroWindow(L"#32770", [](HWND window) { return TextOf(window) == L"Find and Replace"; }, 2000))
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    WaitUntil([] { return FindNomaroWindow(L"#32770", [](HWND) { return true; }, 0) == nullptr; }, 5000);
}

struct Shot {
    const wchar_t* name;
    std::function<HWND()> show;
    std::function<void()> after; // puts things back for the next shot, may be none
};

std::vector<Shot> Shots()
{
    return {
        {L"main-lower", [] { return ShowMode(IdLower); }, nullptr},
        {L"main-upper", [] { return ShowMode(IdUpper); }, nullptr},
        {L"main-read-only", [] { return ShowMode(IdReadOnly); }, nullptr},
        {L"main-favorites", [] { return ShowMode(IdFavorites); }, nullptr},
        {L"main-listing", [] { return ShowMode(IdListing); }, nullptr},
        {L"main-number", [] { return ShowMode(IdNumber); }, nullptr},
        {L"about", ShowAbout, CloseAbout},
        {L"free-book", ShowFreeBook, CloseFreeBook},
        {L"preview", ShowPreview, ClosePreview},
        {L"find-replace", ShowFindReplace, CloseFindReplace},
        {L"calculating", ShowCalculating, nullptr},
        {L"done", ShowDone, AnswerDone},
    };
}

std::wstring Argument(int argc, wchar_t** argv, const wchar_t* prefix)
{
    size_t length = wcslen(prefix);
    for (int i = 1; i < argc; ++i) {
        if (wcsncmp(argv[i], prefix, length) == 0)
            return argv[i] + length;
    }
    return std::wstring();
}
} // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring nomaro = Argument(argc, argv, L"--nomaro=");
    outFolder = Argument(argc, argv, L"--out=");
    if (nomaro.empty() || outFolder.empty()) {
        std::printf("usage: ScreenshotDriver --nomaro=PATH --out=FOLDER\n");
        return 2;
    }
    // A first start, with the program's own defaults.
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    MakeTree();

    std::wstring commandLine = L"\"" + nomaro + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nomaro.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, outFolder.c_str(), &startup,
                        &process)) {
        std::printf("cannot start %ls\n", nomaro.c_str());
        return 1;
    }
    nomaroProcess = process.hProcess;
    nomaroId = process.dwProcessId;
    CloseHandle(process.hThread);

    int failures = 0;
    if (!MainWindow()) {
        std::printf("no main window\n");
        failures = 1;
    } else {
        for (const Shot& shot : Shots()) {
            HWND window = shot.show();
            if (!window || !SaveWindow(window, shot.name)) {
                std::printf("missed %ls; the program's windows:\n", shot.name);
                for (HWND other = GetTopWindow(nullptr); other; other = GetWindow(other, GW_HWNDNEXT)) {
                    DWORD owner = 0;
                    GetWindowThreadProcessId(other, &owner);
                    if (owner == nomaroId)
                        std::printf("  %ls \"%ls\" visible %d\n", ClassOf(other).c_str(), TextOf(other).c_str(),
                                    IsWindowVisible(other) ? 1 : 0);
                }
                ++failures;
            }
            if (shot.after)
                shot.after();
        }
    }
    if (HWND main = MainWindow())
        PostMessageW(main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(nomaroProcess, 60000) == WAIT_TIMEOUT)
        TerminateProcess(nomaroProcess, 1);
    CloseHandle(nomaroProcess);
    RemoveTree(treeFolder);
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    return failures == 0 ? 0 : 1;
}
