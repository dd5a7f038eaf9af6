// The user's choices in the main window, kept under HKEY_CURRENT_USER between uses.
#pragma once

#include <windows.h>

#include <string>

// Capacities of the string fields in characters, the terminating null included.
constexpr size_t kTagCapacity = 128;
constexpr size_t kExtentionCapacity = 256;
constexpr size_t kNumberCapacity = 14;
constexpr size_t kFolderCapacity = 2080;
constexpr size_t kFontCapacity = 128;

// What is kept of each main-window field's text, in characters.
constexpr size_t kTagSaveLimit = 127;
constexpr size_t kExtentionSaveLimit = 255;
constexpr size_t kNumberSaveLimit = 12;
constexpr size_t kFolderSaveLimit = 1039;

extern const wchar_t kSettingsKey[];
extern const wchar_t kDefaultExtentions[];
extern const wchar_t kDefaultNumber[];
extern const wchar_t kDefaultFont[];

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

// Each gives 1, or 0 without doing anything when a name or destination is missing.
int ReadDwordSetting(const wchar_t* valueName, DWORD* destination, DWORD defaultValue);
// Reads at most capacity - 1 characters; an empty or missing value gives the default text.
int ReadStringSetting(const wchar_t* valueName, std::wstring* destination, size_t capacity, const wchar_t* defaultText);
int WriteDwordSetting(const wchar_t* valueName, DWORD number);
int WriteStringSetting(const wchar_t* valueName, const wchar_t* text);

void LoadSettings();
// Writes all eight values of Settings, in the stored order: the three numbers, then the five texts.
int SaveSettings();
