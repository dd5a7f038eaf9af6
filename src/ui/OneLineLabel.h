// Labels that keep their text on one line. A static control wraps a text wider than itself onto a
// second line, which a label one line high cuts off; such a label draws its text on one line
// instead, its letters set a little closer where even that is too wide.
#pragma once

#include <windows.h>

// For a plain left-aligned static whose text has no prefix character. While the text fits, the
// label draws as the static always has.
void KeepLabelOnOneLine(HWND label);
