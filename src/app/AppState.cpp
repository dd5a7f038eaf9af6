// Process-wide handles and state of the application frame: the window's, in GUI mode.
#include "AppState.h"

HINSTANCE AppInstance = nullptr;
HWND MainWindowHandle = nullptr;
UniqueFont UiFont;
OperationMode CurrentMode = ModeLower;
std::wstring ChosenFolder;
std::wstring ListingFontFace = L"Consolas";
UniqueBitmap DropPicture;
std::wstring StartDirectory;
std::unique_ptr<NumberingHistory> History;
bool StartInProgress = false;
bool CloseDeferred = false;
bool BatchBusy = false;

const wchar_t kMainWindowClass[] = L"Nomaro_MainForm";
const wchar_t kDropPanelClass[] = L"Nomaro_DragDrop";
