// Creates the main window as the program does (settings from the registry, the real
// classes and resources), hidden, and tears it down again, quit message included.
#pragma once

#include "AppState.h"
#include "DesktopDriver.h"
#include "DialogWatcher.h"
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

#include <string>
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

