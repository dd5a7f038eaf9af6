// The program's entry: instance control, command-line mode and GUI mode.
#include "StartUp.h"

#include "AppState.h"
#include "FolderArgument.h"
#include "HistoryStore.h"
#include "JournalStore.h"
#include "MainWindow.h"
#include "OfferWindow.h"
#include "RunReport.h"
#include "Settings.h"
#include "TabOrder.h"
#include "UniqueHandle.h"
#include "Win32Text.h"
#include "WindowClasses.h"
#include "WindowRun.h"
#include "resource.h"

#include <shellapi.h>

static constexpr wchar_t kInstanceMutexName[] = L"7A1C52E0-3B94-4F6D-9E21-C08D5B3A6F47";
static constexpr DWORD kSearchSystemFolderOnly = 0x00000800; // LOAD_LIBRARY_SEARCH_SYSTEM32

// Every library loaded by name afterwards comes from the system folder, never from the program's
// own folder, where a portable program has whatever was downloaded beside it.
static void RestrictLibrarySearch()
{
    // Looked up, not linked: Windows 7 offers the call only with KB2533623. Without it the help
    // launcher still loads its library by full path only.
    using SetDefaultDllDirectoriesCall = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto setDefault = kernel ? reinterpret_cast<SetDefaultDllDirectoriesCall>(
                                   GetProcAddress(kernel, "SetDefaultDllDirectories"))
                             : nullptr;
    if (setDefault)
        setDefault(kSearchSystemFolderOnly);
}

// True when another instance showed its main window and was brought forward.
static bool ActivateOtherInstance(bool& anotherInstance)
{
    HWND other = FindWindowW(kMainWindowClass, nullptr);
    if (other) {
        SetForegroundWindow(other);
        ShowWindow(other, SW_RESTORE);
        return true;
    }
    anotherInstance = true;
    return false;
}

static int RunCommandLineMode(const std::wstring& argument, bool anotherInstance)
{
    std::wstring folder = StripFolderArgument(argument);
    // Lower case, with no window, no settings and no numbering memory.
    RunOptions options;
    options.mode = ModeLower;
    options.journalFolder = UserJournalFolder();
    RunOutcome outcome = WindowBatchRun(nullptr, folder, options);
    if (outcome.result != BatchResult::Completed) {
        std::wstring text = BatchResultMessage(outcome.result, folder, outcome.journalError, options.journalFolder);
        MessageBoxW(nullptr, text.c_str(), L"Lower", MB_ICONWARNING | MB_OK);
        return kExitCommandLinePathNotFound;
    }
    if (!anotherInstance)
        MessageBoxW(nullptr, L"Done!", L"Lower", MB_ICONINFORMATION | MB_OK);
    return kExitCommandLineDone;
}

// The keys that move between controls and press buttons: the main window's own order first, then
// the dialog keys of the main window and of the Free Book window (Tab between its links, Escape).
static bool HandleDialogKeys(MSG& message)
{
    if (MoveFocusInMainWindow(MainWindowHandle, message))
        return true;
    if (IsDialogMessageW(MainWindowHandle, &message))
        return true;
    HWND offer = OfferWindowHandle();
    return offer && IsDialogMessageW(offer, &message);
}

static int RunMessageLoop()
{
    // Ctrl+H, for the main window and its controls only: the Free Book window has no such command.
    HACCEL accelerators = LoadAcceleratorsW(AppInstance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
    MSG message{};
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0) {
        if (got == -1)
            return 0; // the queue is gone: end the program instead of spinning
        bool forMainWindow = message.hwnd == MainWindowHandle || IsChild(MainWindowHandle, message.hwnd);
        if (accelerators && forMainWindow && TranslateAcceleratorW(MainWindowHandle, accelerators, &message))
            continue;
        if (HandleDialogKeys(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

static int RunGuiMode(HINSTANCE instance, int showCommand)
{
    LoadSettings();
    StartDirectory = GetCurrentDirectoryString();
    History = LoadHistory(StartDirectory);
    RegisterWindowClasses(instance);
    AppInstance = instance;
    if (!CreateMainWindow(instance, showCommand))
        return 0;
    return RunMessageLoop();
}

int RunProgram(HINSTANCE instance, int showCommand)
{
    RestrictLibrarySearch();
    // The mutex lives as long as the process; its existence is the whole signal.
    UniqueKernelHandle instanceMutex(CreateMutexW(nullptr, FALSE, kInstanceMutexName));
    DWORD mutexError = GetLastError();
    bool anotherInstance = false;
    if ((mutexError == ERROR_ALREADY_EXISTS || mutexError == ERROR_ACCESS_DENIED) &&
        ActivateOtherInstance(anotherInstance))
        return 0;

    int argumentCount = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &argumentCount);
    if (!arguments)
        return RunGuiMode(instance, showCommand);
    ScopeExit freeArguments([arguments] { LocalFree(arguments); });
    if (argumentCount < 2)
        return RunGuiMode(instance, showCommand);
    return RunCommandLineMode(arguments[1], anotherInstance);
}
