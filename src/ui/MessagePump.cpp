// Drains the thread's message queue during long operations so windows repaint.
#include "MessagePump.h"

#include <windows.h>

void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
        if (!GetMessageW(&message, nullptr, 0, 0)) {
            // GetMessageW removed the quit request; put it back for the outer loop.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}
