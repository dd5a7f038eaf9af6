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
// Loaded by the main window at creation; painted and deleted by the drop panel.
extern UniqueBitmap DropPicture;

// True from the moment Start is taken until its closing message is answered; a second
// Start and the main window's destruction wait for it to clear.
extern bool StartInProgress;
// A close of the main window that arrived while Start was in progress.
extern bool CloseDeferred;

extern const wchar_t kMainWindowClass[];
extern const wchar_t kDropPanelClass[];
