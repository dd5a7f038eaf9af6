// Answers the real message boxes a component test's own code opens, recording
// their captions and texts, so the test thread is never left blocked.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct SeenMessageBox {
    std::wstring caption;
    std::wstring text;
};

class MessageBoxWatcher {
public:
    // Every box that appears is answered with the next of the given buttons
    // (IDOK when the list runs out).
    explicit MessageBoxWatcher(std::vector<int> answers = {});
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    std::vector<SeenMessageBox> Seen();

private:
    void Watch();

    std::vector<int> answers_;
    size_t nextAnswer_ = 0;
    std::mutex mutex_;
    std::vector<SeenMessageBox> seen_;
    std::vector<HWND> answered_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
