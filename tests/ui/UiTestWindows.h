// Real windows for the ui component tests: a parent that records what reaches it and
// answers colour requests its own way, statics with a font, and pixel reading.
#pragma once

#include "UniqueHandle.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The parent's own colour answer, which a link must override only in its text colour.
inline constexpr COLORREF kParentTextColour = RGB(200, 0, 0);
inline constexpr COLORREF kParentBackColour = RGB(255, 255, 0);

// A hidden top-level window of the test's own class.
class TestParent {
public:
    TestParent();
    ~TestParent();
    TestParent(const TestParent&) = delete;
    TestParent& operator=(const TestParent&) = delete;

    HWND window() const { return window_; }
    // Forgets the window once the test has destroyed it itself.
    void Forget() { window_ = nullptr; }
    HBRUSH brush() const;

    static WNDPROC Procedure();
    // Command ids (low words) received, and what the parent's own procedure saw at its destroy message.
    static std::vector<int>& Commands();
    struct DestroySeen {
        bool seen = false;
        LONG_PTR procedure = 0;
        HANDLE originalProcedureProperty = nullptr;
    };
    static DestroySeen& Destroyed();

private:
    HWND window_ = nullptr;
};

HWND MakeStatic(HWND parent, int id, const wchar_t* text, int x, int y, int width, int height, HFONT font,
                DWORD style = WS_CHILD | WS_VISIBLE | SS_LEFT);
HFONT CreateTestFont(int height, bool underline = false);
LOGFONTW FontDescription(HGDIOBJ font);
bool IsLiveFont(HGDIOBJ font);

// The pixels of a window's client area as it is on screen now (0x00RRGGBB each).
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<DWORD> data;
    COLORREF At(int x, int y) const;
    // How many pixels inside [left, right) x [top, bottom) satisfy the condition.
    int Count(const RECT& area, const std::function<bool(COLORREF)>& condition) const;
};
Pixels CaptureClient(HWND window);
bool IsBluish(COLORREF colour);
bool IsDark(COLORREF colour);

// Processes the waiting messages of this thread.
void PumpWaitingMessages();
// The top-level windows of this thread with the given class.
std::vector<HWND> ThreadWindows(const std::wstring& className);

// The visible dialog (class #32770) of that caption among the top-level windows of a thread; none
// while it is not there.
HWND FindDialogOnThread(DWORD threadId, const std::wstring& caption);
// For a driver thread that cannot find the dialog the test thread runs: ends the test thread's
// modal loop, whatever it shows, so that the test reports the failure instead of hanging.
void EndDialogLoop(DWORD threadId);

// Registers the "Free Book" window's class as the program does at start-up, once per process.
void RegisterOfferClass();
