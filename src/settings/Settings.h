// The user's choices in the main window, kept under HKEY_CURRENT_USER between uses.
#pragma once

#include <windows.h>

#include <string>

struct SettingsRecord {
    std::wstring Tag;
    std::wstring Extention;
    std::wstring Number;
    std::wstring Folder;
    DWORD FillTags = 0;
    DWORD Function = 0;
    std::wstring Font;
    DWORD Rtf = 1;
};

extern SettingsRecord Settings;

void LoadSettings();
void SaveSettings(HWND mainWindow);
