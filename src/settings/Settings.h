// The user's choices in the main window, kept under HKEY_CURRENT_USER between uses.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

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

// File > Find and Replace... remembers its texts, its options and its size in values of its own
// beside the eight, read when it opens and written when it closes.
constexpr size_t kReplaceHistoryLength = 10;

struct ReplaceSettings {
    // "ReplaceSearches" and "ReplaceTexts" (REG_MULTI_SZ): the last texts used, the newest first.
    std::vector<std::wstring> searches;
    std::vector<std::wstring> replacements;
    // The rest REG_DWORD, each named after its option: "ReplaceRegex" ... "ReplaceHeight".
    DWORD regex = 0;
    DWORD matchCase = 0;
    DWORD replaceAll = 1;
    DWORD applyTo = 0; // 0 name without extension, 1 extension only, 2 whole name
    DWORD format = 0;  // 0 none, 1 lowercase, 2 UPPERCASE, 3 Title Case, 4 Capitalize first letter
    DWORD files = 1;
    DWORD folders = 1;
    DWORD subfolders = 1;
    DWORD hidden = 0;
    DWORD modifiedForTaken = 0; // "ReplaceModifiedForTaken"
    DWORD order = 0; // "ReplaceOrder": 0 name, 1 date taken, 2 date modified, 3 date created, 4 size, 5 album order
    DWORD descending = 0;       // "ReplaceDescending"
    DWORD restartCounter = 0;   // "ReplaceRestartCounter"
    DWORD width = 0; // the dialog's size in dialog units; 0: the template's
    DWORD height = 0;
};

// A number out of its range (a switch beyond 1, an order beyond 5, ...) reads as its default.
ReplaceSettings LoadReplaceSettings();
void SaveReplaceSettings(const ReplaceSettings& settings);

// Presets: everything Find and Replace holds but its size and history, each under
// "Presets\NAME" below the settings key with the dialog's own value names; the search and the
// replacement are each the one text of "ReplaceSearches" and "ReplaceTexts". Reading one, a value
// missing, of another type or out of range reads as its default.
std::vector<std::wstring> ReplacePresetNames(); // sorted as the registry lists them
// False when there is no such preset.
bool LoadReplacePreset(const std::wstring& name, ReplaceSettings& preset);
// False when it could not be kept whole; a preset of that name is replaced.
bool SaveReplacePreset(const std::wstring& name, const ReplaceSettings& preset);
bool DeleteReplacePreset(const std::wstring& name);
