// Process-wide handles and state of the application frame: the window's, in GUI mode.
#pragma once

#include "HistoryStore.h"
#include "OperationMode.h"
#include "UniqueHandle.h"

#include <windows.h>

#include <memory>
#include <string>

extern HINSTANCE AppInstance;
extern HWND MainWindowHandle;
// "Tahoma", height 14 at 96 DPI, made for the main window's DPI; created at start-up, made again
// when the DPI changes, deleted by the main window's destroy handler.
extern UniqueFont UiFont;
// The mode chosen in the main window; a run takes its own copy when it starts.
extern OperationMode CurrentMode;
// The path of the next run.
extern std::wstring ChosenFolder;
// The face name of the listing font; "Consolas" until the main window takes the stored one.
extern std::wstring ListingFontFace;
// Loaded by the main window at creation; painted and deleted by the drop panel.
extern UniqueBitmap DropPicture;

// The current directory at GUI start-up; the numbering memory is kept there.
extern std::wstring StartDirectory;
// The numbering memory in GUI mode, loaded at start-up and released with the main window; none
// before and after, and on the command line.
extern std::unique_ptr<NumberingHistory> History;

// True from the moment Start is taken until its closing message is answered; a second
// Start and the main window's destruction wait for it to clear.
extern bool StartInProgress;
// A close of the main window that arrived while Start was in progress.
extern bool CloseDeferred;
// True while a batch run walks or changes the tree: the hint gives way to the progress bar.
extern bool BatchBusy;

extern const wchar_t kMainWindowClass[];
extern const wchar_t kDropPanelClass[];
