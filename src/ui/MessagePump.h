// Drains the thread's message queue during long operations so windows repaint.
#pragma once

// Processes every waiting message and returns when the queue is empty; never waits.
// A quit request met here is posted again so the message loop still ends the program.
void PumpMessages();
