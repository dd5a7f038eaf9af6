// Answers the real message boxes a component test's own code opens.
#include "MessageBoxWatcher.h"

#include "DesktopDriver.h"

#include <algorithm>

MessageBoxWatcher::MessageBoxWatcher(std::vector<int> answers) : answers_(std::move(answers))
{
    thread_ = std::thread([this] { Watch(); });
}

MessageBoxWatcher::~MessageBoxWatcher()
{
    stop_ = true;
    thread_.join();
}

std::vector<SeenMessageBox> MessageBoxWatcher::Seen()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
}

void MessageBoxWatcher::Watch()
{
    DWORD self = GetCurrentProcessId();
    while (!stop_) {
        for (HWND window : TopLevelWindows(self)) {
            HWND text = GetDlgItem(window, 0xFFFF);
            if (WindowClassName(window) != L"#32770" || !text)
                continue;
            std::lock_guard<std::mutex> lock(mutex_);
            if (std::find(answered_.begin(), answered_.end(), window) != answered_.end())
                continue;
            answered_.push_back(window);
            seen_.push_back({WindowText(window), WindowText(text)});
            int answer = nextAnswer_ < answers_.size() ? answers_[nextAnswer_++] : IDOK;
            PressDialogButton(window, answer);
        }
        Sleep(20);
    }
}
