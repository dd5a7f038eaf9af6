// Keyboard cues: the focus rectangle shown from the start, not only once a key has been pressed.
#include "KeyboardCues.h"

void ShowKeyboardCues(HWND window)
{
    // Windows hides focus rectangles until the keyboard is used; a user who cannot see where the
    // focus is cannot start with the keyboard at all.
    SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}
