// The main window's keyboard order: Tab and Shift+Tab go through the controls as they are seen
// (top to bottom, left to right), and the arrow keys through a radio group, while the creation
// order, which the radio groups and the z-order follow, stays as it is.
#pragma once

#include <windows.h>

// Takes Tab, Shift+Tab and the arrow keys of a radio group aimed at the main window or one of its
// controls; true when it moved the focus. The message loop calls it first.
bool MoveFocusInMainWindow(HWND window, const MSG& message);

// The first control of the order, where the focus goes when there is none to give back.
HWND FirstInTabOrder(HWND window);
