// Times Nomaro.exe as a user runs it from the command line: from starting "Nomaro.exe FOLDER" to
// the closing "Done!" box, which it then answers. The peak working set is the program's own,
// read while the box is shown.
//   commandline_bench NOMARO_EXE FOLDER
#include "BenchSupport.h"

#include "UniqueHandle.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr DWORD kTimeoutMs = 30 * 60 * 1000;
constexpr wchar_t kDoneCaption[] = L"Lower";
constexpr wchar_t kDoneText[] = L"Done!";
constexpr int kMessageTextId = 0xFFFF;

HWND FindDoneBox(DWORD processId)
{
    HWND box = nullptr;
    while ((box = FindWindowExW(nullptr, box, L"#32770", kDoneCaption)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(box, &owner);
        if (owner == processId && IsWindowVisible(box))
            return box;
    }
    return nullptr;
}

std::wstring BoxText(HWND box)
{
    wchar_t text[256] = L"";
    GetDlgItemTextW(box, kMessageTextId, text, 256);
    return text;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: commandline_bench NOMARO_EXE FOLDER\n");
        return 2;
    }
    std::wstring commandLine = L"\"" + std::wstring(argv[1]) + L"\" \"" + argv[2] + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    Stopwatch clock;
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
        std::fprintf(stderr, "cannot start %ls (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    UniqueKernelHandle process(started.hProcess);
    UniqueKernelHandle thread(started.hThread);

    // Polled often enough for a tenth of a second's precision, seldom enough not to slow the run.
    HWND box = nullptr;
    while (!(box = FindDoneBox(started.dwProcessId))) {
        if (WaitForSingleObject(process.get(), 10) == WAIT_OBJECT_0 || clock.Seconds() * 1000 > kTimeoutMs) {
            std::fprintf(stderr, "Nomaro ended or timed out without its \"Done!\" box\n");
            return 1;
        }
    }
    double seconds = clock.Seconds();
    double peak = PeakMegabytes(process.get());
    std::wstring text = BoxText(box);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    if (WaitForSingleObject(process.get(), 60000) != WAIT_OBJECT_0) {
        TerminateProcess(process.get(), 1);
        std::fprintf(stderr, "Nomaro did not end after its box was answered\n");
        return 1;
    }
    if (text != kDoneText) {
        std::fprintf(stderr, "Nomaro said \"%ls\" instead of \"Done!\"\n", text.c_str());
        return 1;
    }
    PrintResult(seconds, peak, 0, 0);
    return 0;
}
