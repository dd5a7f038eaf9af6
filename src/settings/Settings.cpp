// The user's choices in the main window, kept under HKEY_CURRENT_USER between uses.
#include "Settings.h"

SettingsRecord Settings;

// Filled in with the main window.
void LoadSettings() {}
void SaveSettings(HWND) {}
