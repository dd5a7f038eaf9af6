// The user's choices in the main window, kept under HKEY_CURRENT_USER between uses.
#include "Settings.h"

#include "RegistryValue.h"
#include "SettingValue.h"
#include "UniqueHandle.h"

#include <algorithm>
#include <string>
#include <vector>

const wchar_t kSettingsKey[] = L"SOFTWARE\\Kestrith\\Nomaro";
const wchar_t kDefaultExtentions[] = L"jpg,gif,png,bmp,mp3";
const wchar_t kDefaultNumber[] = L"000000";
const wchar_t kDefaultFont[] = L"Consolas";

static constexpr wchar_t kTagValue[] = L"Tag";
static constexpr wchar_t kExtentionValue[] = L"Extention";
static constexpr wchar_t kNumberValue[] = L"Number";
static constexpr wchar_t kFolderValue[] = L"Folder";
static constexpr wchar_t kFillTagsValue[] = L"FillTags";
static constexpr wchar_t kFunctionValue[] = L"Function";
static constexpr wchar_t kFontValue[] = L"Font";
static constexpr wchar_t kRtfValue[] = L"Rtf";

static constexpr wchar_t kReplaceSearchesValue[] = L"ReplaceSearches";
static constexpr wchar_t kReplaceTextsValue[] = L"ReplaceTexts";
static constexpr wchar_t kReplaceRegexValue[] = L"ReplaceRegex";
static constexpr wchar_t kReplaceMatchCaseValue[] = L"ReplaceMatchCase";
static constexpr wchar_t kReplaceAllValue[] = L"ReplaceAll";
static constexpr wchar_t kReplaceApplyToValue[] = L"ReplaceApplyTo";
static constexpr wchar_t kReplaceFormatValue[] = L"ReplaceFormat";
static constexpr wchar_t kReplaceFilesValue[] = L"ReplaceFiles";
static constexpr wchar_t kReplaceFoldersValue[] = L"ReplaceFolders";
static constexpr wchar_t kReplaceSubfoldersValue[] = L"ReplaceSubfolders";
static constexpr wchar_t kReplaceHiddenValue[] = L"ReplaceHidden";
static constexpr wchar_t kReplaceWidthValue[] = L"ReplaceWidth";
static constexpr wchar_t kReplaceHeightValue[] = L"ReplaceHeight";

SettingsRecord Settings;

// Full access even for reading: a key the user may read but not write reads as absent.
static UniqueKey OpenSettingsKey()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return UniqueKey();
    return UniqueKey(key);
}

static UniqueKey CreateSettingsKey()
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return UniqueKey();
    return UniqueKey(key);
}

int ReadDwordSetting(const wchar_t* valueName, DWORD* destination, DWORD defaultValue)
{
    if (!valueName || !destination)
        return 0;
    *destination = defaultValue;
    UniqueKey key = OpenSettingsKey();
    if (!key)
        return 1;
    // The stored type is not checked: whatever 4 bytes (or fewer) are stored are the number.
    DWORD type = 0;
    std::string bytes;
    std::uint32_t number = 0;
    if (ReadRegistryValue(key.get(), valueName, type, bytes) == ERROR_SUCCESS && DwordSettingValue(bytes, number))
        *destination = number;
    return 1;
}

int ReadStringSetting(const wchar_t* valueName, std::wstring* destination, size_t capacity, const wchar_t* defaultText)
{
    if (!valueName || !destination)
        return 0;
    destination->clear();
    UniqueKey key = OpenSettingsKey();
    DWORD type = 0;
    std::string bytes;
    // Raw UTF-16 units up to the first null; a value longer than the field is cut to it.
    if (key && ReadRegistryValue(key.get(), valueName, type, bytes) == ERROR_SUCCESS)
        *destination = StringSettingValue(bytes, capacity);
    if (destination->empty() && defaultText)
        *destination = defaultText;
    return 1;
}

// A list of texts as REG_MULTI_SZ: each gives 1, or 0 when a name or destination is missing.
// Reading keeps at most maxCount texts; a missing value, or one of another type, gives none.
static int ReadMultiStringSetting(const wchar_t* valueName, std::vector<std::wstring>* destination, size_t maxCount)
{
    if (!valueName || !destination)
        return 0;
    destination->clear();
    UniqueKey key = OpenSettingsKey();
    DWORD type = REG_NONE;
    std::string bytes;
    if (!key || ReadRegistryValue(key.get(), valueName, type, bytes) != ERROR_SUCCESS || type != REG_MULTI_SZ)
        return 1;
    std::wstring units(bytes.size() / sizeof(wchar_t), L'\0');
    if (!units.empty())
        memcpy(units.data(), bytes.data(), units.size() * sizeof(wchar_t));
    // Texts one after another, each ended by a null; an empty one (or the data's end) ends the list.
    for (size_t start = 0; start < units.size() && destination->size() < maxCount;) {
        size_t end = units.find(L'\0', start);
        if (end == std::wstring::npos)
            end = units.size();
        if (end == start)
            break;
        destination->push_back(units.substr(start, end - start));
        start = end + 1;
    }
    return 1;
}

// Empty texts are left out: the format ends at the first one.
static int WriteMultiStringSetting(const wchar_t* valueName, const std::vector<std::wstring>& texts)
{
    if (!valueName)
        return 0;
    std::wstring data;
    for (const std::wstring& text : texts) {
        if (!text.empty())
            data.append(text).push_back(L'\0');
    }
    data.push_back(L'\0');
    UniqueKey key = CreateSettingsKey();
    if (!key)
        return 0;
    return RegSetValueExW(key.get(), valueName, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
}

int WriteDwordSetting(const wchar_t* valueName, DWORD number)
{
    UniqueKey key = CreateSettingsKey();
    if (!key)
        return 0;
    return RegSetValueExW(key.get(), valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number)) ==
           ERROR_SUCCESS;
}

int WriteStringSetting(const wchar_t* valueName, const wchar_t* text)
{
    if (!text)
        return 0;
    UniqueKey key = CreateSettingsKey();
    if (!key)
        return 0;
    DWORD size = static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), size) == ERROR_SUCCESS;
}

void LoadSettings()
{
    ReadStringSetting(kTagValue, &Settings.Tag, kTagCapacity, L"");
    ReadStringSetting(kExtentionValue, &Settings.Extention, kExtentionCapacity, kDefaultExtentions);
    ReadStringSetting(kNumberValue, &Settings.Number, kNumberCapacity, kDefaultNumber);
    ReadStringSetting(kFolderValue, &Settings.Folder, kFolderCapacity, L"");
    ReadDwordSetting(kFillTagsValue, &Settings.FillTags, 0);
    ReadDwordSetting(kFunctionValue, &Settings.Function, 0);
    ReadStringSetting(kFontValue, &Settings.Font, kFontCapacity, kDefaultFont);
    ReadDwordSetting(kRtfValue, &Settings.Rtf, 1);
}

int SaveSettings()
{
    WriteDwordSetting(kFillTagsValue, Settings.FillTags);
    WriteDwordSetting(kFunctionValue, Settings.Function);
    WriteDwordSetting(kRtfValue, Settings.Rtf);
    WriteStringSetting(kTagValue, Settings.Tag.c_str());
    WriteStringSetting(kExtentionValue, Settings.Extention.c_str());
    WriteStringSetting(kNumberValue, Settings.Number.c_str());
    WriteStringSetting(kFolderValue, Settings.Folder.c_str());
    WriteStringSetting(kFontValue, Settings.Font.c_str());
    return 1;
}

ReplaceSettings LoadReplaceSettings()
{
    ReplaceSettings settings;
    ReadMultiStringSetting(kReplaceSearchesValue, &settings.searches, kReplaceHistoryLength);
    ReadMultiStringSetting(kReplaceTextsValue, &settings.replacements, kReplaceHistoryLength);
    const ReplaceSettings defaults;
    ReadDwordSetting(kReplaceRegexValue, &settings.regex, defaults.regex);
    ReadDwordSetting(kReplaceMatchCaseValue, &settings.matchCase, defaults.matchCase);
    ReadDwordSetting(kReplaceAllValue, &settings.replaceAll, defaults.replaceAll);
    ReadDwordSetting(kReplaceApplyToValue, &settings.applyTo, defaults.applyTo);
    ReadDwordSetting(kReplaceFormatValue, &settings.format, defaults.format);
    ReadDwordSetting(kReplaceFilesValue, &settings.files, defaults.files);
    ReadDwordSetting(kReplaceFoldersValue, &settings.folders, defaults.folders);
    ReadDwordSetting(kReplaceSubfoldersValue, &settings.subfolders, defaults.subfolders);
    ReadDwordSetting(kReplaceHiddenValue, &settings.hidden, defaults.hidden);
    ReadDwordSetting(kReplaceWidthValue, &settings.width, defaults.width);
    ReadDwordSetting(kReplaceHeightValue, &settings.height, defaults.height);
    return settings;
}

void SaveReplaceSettings(const ReplaceSettings& settings)
{
    auto newest = [](const std::vector<std::wstring>& texts) {
        return std::vector<std::wstring>(texts.begin(), texts.begin() + std::min(texts.size(), kReplaceHistoryLength));
    };
    WriteMultiStringSetting(kReplaceSearchesValue, newest(settings.searches));
    WriteMultiStringSetting(kReplaceTextsValue, newest(settings.replacements));
    WriteDwordSetting(kReplaceRegexValue, settings.regex);
    WriteDwordSetting(kReplaceMatchCaseValue, settings.matchCase);
    WriteDwordSetting(kReplaceAllValue, settings.replaceAll);
    WriteDwordSetting(kReplaceApplyToValue, settings.applyTo);
    WriteDwordSetting(kReplaceFormatValue, settings.format);
    WriteDwordSetting(kReplaceFilesValue, settings.files);
    WriteDwordSetting(kReplaceFoldersValue, settings.folders);
    WriteDwordSetting(kReplaceSubfoldersValue, settings.subfolders);
    WriteDwordSetting(kReplaceHiddenValue, settings.hidden);
    WriteDwordSetting(kReplaceWidthValue, settings.width);
    WriteDwordSetting(kReplaceHeightValue, settings.height);
}
