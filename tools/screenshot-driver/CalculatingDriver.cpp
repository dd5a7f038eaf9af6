// Starts a long collection in Nomaro.exe and says when its "Calculating..." box is up, so that
// tools/screenshot-calculating can take a picture of the X display in the middle of it.
// Numbering with extensions that no file has walks the whole tree once per extension and then
// changes nothing.
//   CalculatingDriver.exe --nomaro=PATH --tree=FOLDER --ready=FILE
// FILE gets "left top right bottom" of the box once it shows; the run is then left to end, its
// closing message answered and Nomaro closed.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {
// The control ids of the main window (src/resources/resource.h).
enum : int { IdNumber = 3258, IdFolder = 3261, IdExtensions = 3264, IdStart = 3265 };
// Forty walks of the tree: long enough to look at the box a few seconds in.
const wchar_t kExtensions[] = L"q1 q2 q3 q4 q5 q6 q7 q8 q9 q10 q11 q12 q13 q14 q15 q16 q17 q18 q19 q20 "
                              L"q21 q22 q23 q24 q25 q26 q27 q28 q29 q30 q31 q32 q33 q34 q35 q36 q37 q38 q39 q40";

DWORD nomaroId = 0;

std::wstring Argument(int argc, wchar_t** argv, const wchar_t* prefix)
{
    size_t length = wcslen(prefix);
    for (int i = 1; i < argc; ++i) {
        if (wcsncmp(argv[i], prefix, length) == 0)
            return argv[i] + length;
    }
    return std::wstring();
}

// A visible top-level window of Nomaro of this class whose caption is empty or not, as asked.
HWND FindNomaroWindow(const wchar_t* className, bool captioned, DWORD timeoutMs)
{
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    do {
        HWND window = nullptr;
        while ((window = FindWindowExW(nullptr, window, className, nullptr)) != nullptr) {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process == nomaroId && IsWindowVisible(window) && (GetWindowTextLengthW(window) > 0) == captioned)
                return window;
        }
        Sleep(20);
    } while (GetTickCount64() < deadline);
    return nullptr;
}
} // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring nomaro = Argument(argc, argv, L"--nomaro=");
    std::wstring tree = Argument(argc, argv, L"--tree=");
    std::wstring ready = Argument(argc, argv, L"--ready=");
    if (nomaro.empty() || tree.empty() || ready.empty()) {
        std::printf("usage: CalculatingDriver --nomaro=PATH --tree=FOLDER --ready=FILE\n");
        return 2;
    }
    std::wstring commandLine = L"\"" + nomaro + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nomaro.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::printf("cannot start %ls\n", nomaro.c_str());
        return 1;
    }
    nomaroId = process.dwProcessId;
    CloseHandle(process.hThread);

    int result = 1;
    HWND main = FindNomaroWindow(L"Nomaro_MainForm", true, 30000);
    if (main) {
        SendMessageW(GetDlgItem(main, IdNumber), BM_CLICK, 0, 0);
        SendMessageW(GetDlgItem(main, IdFolder), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(tree.c_str()));
        SendMessageW(GetDlgItem(main, IdExtensions), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kExtensions));
        PostMessageW(GetDlgItem(main, IdStart), BM_CLICK, 0, 0);
        // The box has no caption; the message boxes have one.
        HWND box = FindNomaroWindow(L"#32770", false, 30000);
        RECT rect{};
        if (box && GetWindowRect(box, &rect)) {
            FILE* out = _wfopen(ready.c_str(), L"w");
            if (out) {
                std::fprintf(out, "%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
                std::fclose(out);
                result = 0;
            }
            std::printf("the \"Calculating...\" box is up\n");
        } else {
            std::printf("no \"Calculating...\" box\n");
        }
        if (HWND done = FindNomaroWindow(L"#32770", true, 600000))
            PostMessageW(done, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        Sleep(500);
        PostMessageW(main, WM_CLOSE, 0, 0);
    } else {
        std::printf("no main window\n");
    }
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_TIMEOUT)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    return result;
}
