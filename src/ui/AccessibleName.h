// The name a screen reader announces for a control, served by the control itself.
#pragma once

#include <windows.h>

#include <string>

// Gives the control (or a window) this accessible name for as long as it exists. Screen readers
// otherwise name an unnamed control after the static text before it in creation order, which is
// not its label in the main window. The usual IAccPropServices::SetHwndPropStr is a stub under
// Wine 8, so the control answers WM_GETOBJECT itself with the system's own accessible object, the
// name excepted.
void SetAccessibleName(HWND control, const std::wstring& name);
