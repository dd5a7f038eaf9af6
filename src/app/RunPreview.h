// File > Preview...: the run Start would make now, planned and shown before anything changes.
#pragma once

#include <windows.h>

// Makes Start's checks, plans the run (in ModeNumber the resume question comes first, once),
// shows the plan, and on the dialog's Start applies exactly that plan and ends as Start ends.
// Close changes nothing. Does nothing in ModeListing, which plans no run.
void RunPreview(HWND window);
