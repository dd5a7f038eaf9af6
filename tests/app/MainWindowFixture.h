// Creates the main window as the program does (settings from the registry, the real
// classes and resources), hidden, and tears it down again, quit message included.
#pragma once

#include "AppState.h"
#include "MainWindow.h"
#include "ScratchRegistry.h"
#include "Settings.h"
#include "WindowSettings.h"
#include "TempFolder.h"
#include "WindowClasses.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The window keeps its settings and resets the Favorites order under HKEY_CURRENT_USER: a program
// using this fixture gets a scratch one of its own.
inline const testing::Environment* const kScratchRegistry = RedirectRegistryForTheRun({{HKEY_CURRENT_USER, {}}});

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(redirectedFavorites_.made()) << "the Favorites folder could not be pointed at a test folder";
        RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
        Settings = SettingsRecord();
        BatchBusy = false;
        CurrentMode = ModeLower;
        ChosenFolder.clear();
        StartInProgress = false;
        CloseDeferred = false;
    }
    void TearDown() override
    {
        if (window_ && IsWindow(window_))
            DestroyWindow(window_);
        DrainQuit();
        RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    }

    // Loads the stored settings and creates the window, as GUI start-up does.
    HWND Open()
    {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        AppInstance = instance;
        LoadSettings();
        RegisterWindowClasses(instance);
        EXPECT_TRUE(CreateMainWindow(instance, SW_HIDE));
        window_ = MainWindowHandle;
        return window_;
    }

    // True when the destroy handlers posted the quit message; removes it.
    static bool DrainQuit()
    {
        bool quit = false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                quit = true;
            else
                DispatchMessageW(&message);
        }
        return quit;
    }

    HWND Control(int id) const { return GetDlgItem(window_, id); }
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    bool Checked(int id) const { return IsDlgButtonChecked(window_, id) == BST_CHECKED; }
    std::wstring Text(int id) const;
    void Click(int id) const { SendMessageW(Control(id), BM_CLICK, 0, 0); }

    HWND window_ = nullptr;
    // Favorites mode works on a folder of the test's own, never on the user's Favorites.
    TempFolder favorites_;
    RedirectedShellFolder redirectedFavorites_{L"Favorites", favorites_.path()};
};

inline std::wstring MainWindowTest::Text(int id) const
{
    wchar_t text[4096] = L"";
    GetWindowTextW(Control(id), text, 4096);
    return text;
}

// A real drop handle, as the shell builds it for a drop of these paths.
inline HDROP MakeDrop(const std::vector<std::wstring>& paths)
{
    size_t characters = 1;
    for (const std::wstring& path : paths)
        characters += path.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + characters * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    auto* text = reinterpret_cast<wchar_t*>(header + 1);
    for (const std::wstring& path : paths) {
        wcscpy(text, path.c_str());
        text += path.size() + 1;
    }
    *text = L'\0';
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

// Watches the process's own dialogs (message boxes, the save dialog) from another thread
// and hands each new one to a callback there, which reads it and answers it.
class DialogWatcher {
public:
    struct Seen {
        bool isMessageBox = false;
        std::wstring caption;
        std::wstring text;
    };
    using Answer = std::function<void(HWND dialog, const Seen& seen)>;

    explicit DialogWatcher(Answer answer) : answer_(std::move(answer)) { thread_ = std::thread([this] { Watch(); }); }
    ~DialogWatcher()
    {
        stop_ = true;
        thread_.join();
    }
    std::vector<Seen> seen()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return seen_;
    }

private:
    static BOOL CALLBACK Collect(HWND window, LPARAM parameter)
    {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        wchar_t className[64] = L"";
        GetClassNameW(window, className, 64);
        if (process == GetCurrentProcessId() && IsWindowVisible(window) && wcscmp(className, L"#32770") == 0)
            reinterpret_cast<std::vector<HWND>*>(parameter)->push_back(window);
        return TRUE;
    }
    static std::wstring TextOf(HWND window)
    {
        wchar_t text[2048] = L"";
        SendMessageTimeoutW(window, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
        return text;
    }
    void Watch()
    {
        std::vector<HWND> answered;
        while (!stop_) {
            std::vector<HWND> dialogs;
            EnumWindows(Collect, reinterpret_cast<LPARAM>(&dialogs));
            for (HWND dialog : dialogs) {
                if (std::find(answered.begin(), answered.end(), dialog) != answered.end())
                    continue;
                // The "Calculating..." box is not a question: it closes by itself.
                HWND messageText = GetDlgItem(dialog, 0xFFFF);
                Seen seen{messageText != nullptr, TextOf(dialog), messageText ? TextOf(messageText) : std::wstring()};
                if (!seen.isMessageBox && seen.caption.empty())
                    continue;
                answered.push_back(dialog);
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    seen_.push_back(seen);
                }
                answer_(dialog, seen);
            }
            Sleep(20);
        }
    }

    Answer answer_;
    std::mutex mutex_;
    std::vector<Seen> seen_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

inline void PressButton(HWND dialog, int id)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
