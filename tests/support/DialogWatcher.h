// Watches the test process's own dialogs from another thread, so that code under test that asks
// or tells never leaves the test thread blocked.
#pragma once

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

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
