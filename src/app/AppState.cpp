// Process-wide handles and state of the application frame.
#include "AppState.h"

HINSTANCE AppInstance = nullptr;
HWND MainWindowHandle = nullptr;
UniqueFont UiFont;
std::wstring ChosenFolder;
UniqueBitmap DropPicture;
bool StartInProgress = false;
bool CloseDeferred = false;

const wchar_t kMainWindowClass[] = L"Nomaro_MainForm";
const wchar_t kDropPanelClass[] = L"Nomaro_DragDrop";
