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
