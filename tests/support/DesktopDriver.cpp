// Drives the real Nomaro.exe from outside, as a user would.
#include "DesktopDriver.h"

#include <commctrl.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>

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

namespace {
// LVITEMW as a 32-bit and as a 64-bit process lays it out: the list reads the item in its own
// process's layout, whatever the bitness of the process that wrote it there.
template <typename Pointer>
struct RemoteListItem {
    UINT mask;
    int iItem;
    int iSubItem;
    UINT state;
    UINT stateMask;
    Pointer pszText;
    int cchTextMax;
    int iImage;
    Pointer lParam;
    int iIndent;
    int iGroupId;
    UINT cColumns;
    Pointer puColumns;
    Pointer piColFmt;
    int iGroup;
};
using RemoteListItem32 = RemoteListItem<std::uint32_t>;
using RemoteListItem64 = RemoteListItem<std::uint64_t>;
static_assert(sizeof(RemoteListItem32) == 60 && offsetof(RemoteListItem32, pszText) == 20, "32-bit LVITEMW");
static_assert(sizeof(RemoteListItem64) == 88 && offsetof(RemoteListItem64, pszText) == 24, "64-bit LVITEMW");
static_assert(sizeof(LVITEMW) == (sizeof(void*) == 8 ? sizeof(RemoteListItem64) : sizeof(RemoteListItem32)),
              "this process's LVITEMW is one of the two");

// True when the process runs 32-bit code: under WoW64 on a 64-bit Windows, or on a 32-bit one.
bool RunsAs32Bit(HANDLE process)
{
    BOOL wow64 = FALSE;
    if (IsWow64Process(process, &wow64) && wow64)
        return true;
    BOOL selfWow64 = FALSE;
    // Neither under WoW64: both run the system's own bitness, this process's.
    return sizeof(void*) == 4 && !(IsWow64Process(GetCurrentProcess(), &selfWow64) && selfWow64);
}

template <typename Item>
std::vector<BYTE> ListItemBytes(int column, int units, std::uintptr_t remoteText)
{
    Item item{};
    item.iSubItem = column;
    item.cchTextMax = units;
    item.pszText = static_cast<decltype(item.pszText)>(remoteText);
    std::vector<BYTE> bytes(sizeof(item));
    std::memcpy(bytes.data(), &item, sizeof(item));
    return bytes;
}
} // namespace

std::wstring ListViewItemText(DWORD processId, HWND list, int row, int column)
{
    constexpr size_t kUnits = 1024;
    UniqueKernelHandle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                               PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process)
        return std::wstring();
    // The item and its text buffer in the other process: the list writes the text there.
    constexpr size_t kItemRoom = sizeof(RemoteListItem64);
    size_t size = kItemRoom + kUnits * sizeof(wchar_t);
    auto* remote = static_cast<BYTE*>(VirtualAllocEx(process.get(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!remote)
        return std::wstring();
    ScopeExit release([&] { VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE); });
    BYTE* remoteText = remote + kItemRoom;
    auto remoteTextAddress = reinterpret_cast<std::uintptr_t>(remoteText);
    std::vector<BYTE> item = RunsAs32Bit(process.get())
                                 ? ListItemBytes<RemoteListItem32>(column, static_cast<int>(kUnits), remoteTextAddress)
                                 : ListItemBytes<RemoteListItem64>(column, static_cast<int>(kUnits), remoteTextAddress);
    std::wstring text(kUnits, L'\0');
    DWORD_PTR copied = 0;
    if (!WriteProcessMemory(process.get(), remote, item.data(), item.size(), nullptr) ||
        !SendMessageTimeoutW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote),
                             SMTO_ABORTIFHUNG, 5000, &copied) ||
        !ReadProcessMemory(process.get(), remoteText, text.data(), kUnits * sizeof(wchar_t), nullptr))
        return std::wstring();
    text.resize(wcsnlen(text.c_str(), kUnits));
    return text;
}

static void SendKeyInputs(HWND foreground, std::vector<INPUT> inputs)
{
    // A window just shown may not be active yet: keys sent now would go to whichever window is.
    WaitUntil([foreground] {
        if (GetForegroundWindow() == foreground)
            return true;
        SetForegroundWindow(foreground);
        return false;
    }, 10000);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

static INPUT KeyInput(WORD key, WORD unit, DWORD flags)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = unit;
    input.ki.dwFlags = flags;
    return input;
}

void PressKey(HWND foreground, WORD key, std::initializer_list<WORD> modifiers)
{
    std::vector<INPUT> inputs;
    for (WORD modifier : modifiers)
        inputs.push_back(KeyInput(modifier, 0, 0));
    inputs.push_back(KeyInput(key, 0, 0));
    inputs.push_back(KeyInput(key, 0, KEYEVENTF_KEYUP));
    for (auto modifier = std::rbegin(modifiers); modifier != std::rend(modifiers); ++modifier)
        inputs.push_back(KeyInput(*modifier, 0, KEYEVENTF_KEYUP));
    SendKeyInputs(foreground, inputs);
}

void TypeText(HWND foreground, const std::wstring& text)
{
    std::vector<INPUT> inputs;
    for (wchar_t unit : text) {
        inputs.push_back(KeyInput(0, unit, KEYEVENTF_UNICODE));
        inputs.push_back(KeyInput(0, unit, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
    }
    SendKeyInputs(foreground, inputs);
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
