// Drives the real Nomaro.exe from outside, as a user would.
#include "DesktopDriver.h"

#include <cstring>

static std::wstring exePath;

const std::wstring& NomaroExePath()
{
    return exePath;
}

static std::wstring WindowsPathFromArgument(const std::string& argument)
{
    std::wstring path(argument.begin(), argument.end());
    for (wchar_t& unit : path) {
        if (unit == L'/')
            unit = L'\\';
    }
    if (!path.empty() && path[0] == L'\\')
        path = L"Z:" + path;
    return path;
}

void SetNomaroExePathFromArguments(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--nomaro=", 9) == 0)
            exePath = WindowsPathFromArgument(argv[i] + 9);
    }
}

ChildProgram StartNomaro(const std::wstring& arguments, const std::wstring& workingDirectory)
{
    ChildProgram program;
    std::wstring commandLine = L"\"" + exePath + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION information{};
    if (CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup, &information)) {
        program.process.reset(information.hProcess);
        program.thread.reset(information.hThread);
        program.processId = information.dwProcessId;
    }
    return program;
}

std::wstring WindowText(HWND window)
{
    wchar_t text[4096] = L"";
    // WM_GETTEXT works across processes; GetWindowTextW would not read another process's controls.
    SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}

std::wstring WindowClassName(HWND window)
{
    wchar_t name[256] = L"";
    GetClassNameW(window, name, 256);
    return name;
}

namespace {
struct WindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window))
        search->found.push_back(window);
    return TRUE;
}
} // namespace

std::vector<HWND> TopLevelWindows(DWORD processId)
{
    WindowSearch search{processId, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindow(DWORD processId, const std::wstring& className, const std::wstring& caption, DWORD timeoutMs)
{
    HWND result = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopLevelWindows(processId)) {
                if ((className.empty() || WindowClassName(window) == className) &&
                    (caption.empty() || WindowText(window) == caption)) {
                    result = window;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return result;
}

static MessageBoxInfo WaitForBox(DWORD processId, DWORD timeoutMs, bool needsCaption)
{
    MessageBoxInfo info;
    WaitUntil(
        [&] {
            for (HWND window : TopLevelWindows(processId)) {
                HWND text = GetDlgItem(window, 0xFFFF);
                if (WindowClassName(window) == L"#32770" && text && (!needsCaption || !WindowText(window).empty())) {
                    info.window = window;
                    info.caption = WindowText(window);
                    info.text = WindowText(text);
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return info;
}

MessageBoxInfo WaitForMessageBox(DWORD processId, DWORD timeoutMs)
{
    return WaitForBox(processId, timeoutMs, false);
}

MessageBoxInfo WaitForCaptionedBox(DWORD processId, DWORD timeoutMs)
{
    return WaitForBox(processId, timeoutMs, true);
}

void PressDialogButton(HWND dialog, int buttonId)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

void ClickControl(HWND window, int controlId)
{
    PostMessageW(GetDlgItem(window, controlId), BM_CLICK, 0, 0);
}

void PostMenuCommand(HWND window, int commandId)
{
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(commandId, 0), 0);
}

DWORD WaitForExit(const ChildProgram& program, DWORD timeoutMs)
{
    if (!program.process)
        return STILL_ACTIVE;
    WaitForSingleObject(program.process.get(), timeoutMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(program.process.get(), &code);
    return code;
}

void KillIfRunning(const ChildProgram& program)
{
    if (program.process && WaitForSingleObject(program.process.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(program.process.get(), 99);
        WaitForSingleObject(program.process.get(), 5000);
    }
}

RunningNomaro::RunningNomaro(const std::wstring& startDirectory)
{
    program_ = StartNomaro(L"", startDirectory);
    main_ = WaitForWindow(program_.processId, L"Nomaro_MainForm", L"", 60000);
}

RunningNomaro::~RunningNomaro()
{
    if (IsWindow(main_))
        PostMessageW(main_, WM_CLOSE, 0, 0);
    WaitForExit(program_, 15000);
    KillIfRunning(program_);
}
