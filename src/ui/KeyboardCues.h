// Keyboard cues: the focus rectangle shown from the start, not only once a key has been pressed.
#pragma once

#include <windows.h>

// Shows the focus of the window and its controls from now on, whatever moved it.
void ShowKeyboardCues(HWND window);
