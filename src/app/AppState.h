// Process-wide handles and state of the application frame.
#pragma once

#include "UniqueHandle.h"

#include <windows.h>

#include <string>

extern HINSTANCE AppInstance;
extern HWND MainWindowHandle;
// "Tahoma", height 14; created at start-up, deleted by the main window's destroy handler.
extern UniqueFont UiFont;
// The path of the next run.
extern std::wstring ChosenFolder;

extern const wchar_t kMainWindowClass[];
extern const wchar_t kDropPanelClass[];
extern const wchar_t kOfferWindowClass[];
