// Waiting in a test for something another thread or process makes happen, with a time-out.
#pragma once

#include <windows.h>

// Polls a condition every 10 ms until it holds or the time-out passes; true when it held.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs = 20000)
{
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount64() >= deadline)
            return false;
        Sleep(10);
    }
}

// Messages posted to a window are handled in order, after those posted before them to its thread:
// once a marker posted after them has been handled, they have been too. The marker is the text
// limit of edit, an edit control of that thread, which any process can set and read back. True
// once it has been handled or edit is gone; false after the time-out.
inline bool PostedMessagesHandled(HWND edit, DWORD timeoutMs = 20000)
{
    static UINT marker = 100;
    UINT limit = ++marker;
    PostMessageW(edit, EM_SETLIMITTEXT, limit, 0);
    return WaitUntil([&] { return !IsWindow(edit) || SendMessageW(edit, EM_GETLIMITTEXT, 0, 0) == static_cast<LRESULT>(limit); },
                     timeoutMs);
}
