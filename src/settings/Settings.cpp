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
static constexpr wchar_t kReplaceModifiedForTakenValue[] = L"ReplaceModifiedForTaken";
static constexpr wchar_t kReplaceOrderValue[] = L"ReplaceOrder";
static constexpr wchar_t kReplaceDescendingValue[] = L"ReplaceDescending";
static constexpr wchar_t kReplaceRestartCounterValue[] = L"ReplaceRestartCounter";
static constexpr wchar_t kPresetsKey[] = L"Presets";
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

// A list of texts as REG_MULTI_SZ in key (may be none): at most maxCount texts; a missing value, or
// one of another type, gives none.
static void ReadMultiStringValue(HKEY key, const wchar_t* valueName, std::vector<std::wstring>* destination, size_t maxCount)
{
    destination->clear();
    DWORD type = REG_NONE;
    std::string bytes;
    if (!key || ReadRegistryValue(key, valueName, type, bytes) != ERROR_SUCCESS || type != REG_MULTI_SZ)
        return;
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
}

// Empty texts are left out: the format ends at the first one.
static bool WriteMultiStringValue(HKEY key, const wchar_t* valueName, const std::vector<std::wstring>& texts)
{
    std::wstring data;
    for (const std::wstring& text : texts) {
        if (!text.empty())
            data.append(text).push_back(L'\0');
    }
    data.push_back(L'\0');
    return RegSetValueExW(key, valueName, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
}

// The same in the settings key: each gives 1, or 0 when a name or destination is missing.
static int ReadMultiStringSetting(const wchar_t* valueName, std::vector<std::wstring>* destination, size_t maxCount)
{
    if (!valueName || !destination)
        return 0;
    UniqueKey key = OpenSettingsKey();
    ReadMultiStringValue(key.get(), valueName, destination, maxCount);
    return 1;
}

static int WriteMultiStringSetting(const wchar_t* valueName, const std::vector<std::wstring>& texts)
{
    if (!valueName)
        return 0;
    UniqueKey key = CreateSettingsKey();
    return key && WriteMultiStringValue(key.get(), valueName, texts) ? 1 : 0;
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

namespace {

// The numbers of Find and Replace, their names and their ranges; the dialog's size has no preset.
struct ReplaceNumber {
    const wchar_t* name;
    DWORD ReplaceSettings::*field;
    DWORD largest;
    bool inPresets;
};
constexpr DWORD kLargestSize = 0xFFFFFFFF;
constexpr ReplaceNumber kReplaceNumbers[] = {
    {kReplaceRegexValue, &ReplaceSettings::regex, 1, true},
    {kReplaceMatchCaseValue, &ReplaceSettings::matchCase, 1, true},
    {kReplaceAllValue, &ReplaceSettings::replaceAll, 1, true},
    {kReplaceApplyToValue, &ReplaceSettings::applyTo, 2, true},
    {kReplaceFormatValue, &ReplaceSettings::format, 4, true},
    {kReplaceFilesValue, &ReplaceSettings::files, 1, true},
    {kReplaceFoldersValue, &ReplaceSettings::folders, 1, true},
    {kReplaceSubfoldersValue, &ReplaceSettings::subfolders, 1, true},
    {kReplaceHiddenValue, &ReplaceSettings::hidden, 1, true},
    {kReplaceModifiedForTakenValue, &ReplaceSettings::modifiedForTaken, 1, true},
    {kReplaceOrderValue, &ReplaceSettings::order, 5, true},
    {kReplaceDescendingValue, &ReplaceSettings::descending, 1, true},
    {kReplaceRestartCounterValue, &ReplaceSettings::restartCounter, 1, true},
    {kReplaceWidthValue, &ReplaceSettings::width, kLargestSize, false},
    {kReplaceHeightValue, &ReplaceSettings::height, kLargestSize, false},
};

// Only a switch that was ever 0 or 1 is one: a number written by anything else is its default. A
// preset's number is a whole REG_DWORD: fewer bytes are no number, not 0.
void ReadReplaceNumbers(HKEY key, ReplaceSettings& settings, bool preset)
{
    const ReplaceSettings defaults;
    for (const ReplaceNumber& number : kReplaceNumbers) {
        if (preset && !number.inPresets)
            continue;
        DWORD type = REG_NONE;
        std::string bytes;
        std::uint32_t value = 0;
        bool read = key && ReadRegistryValue(key, number.name, type, bytes) == ERROR_SUCCESS &&
                    (!preset || (type == REG_DWORD && bytes.size() == sizeof(DWORD))) &&
                    DwordSettingValue(bytes, value) && value <= number.largest;
        settings.*number.field = read ? value : defaults.*number.field;
    }
}

void WriteReplaceNumbers(HKEY key, const ReplaceSettings& settings, bool preset, bool& whole)
{
    for (const ReplaceNumber& number : kReplaceNumbers) {
        if (preset && !number.inPresets)
            continue;
        DWORD value = settings.*number.field;
        whole = RegSetValueExW(key, number.name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)) ==
                    ERROR_SUCCESS &&
                whole;
    }
}

std::wstring PresetPath(const std::wstring& name)
{
    return std::wstring(kSettingsKey) + L"\\" + kPresetsKey + L"\\" + name;
}

bool UsablePresetName(const std::wstring& name)
{
    return !name.empty() && name.size() <= 255 && name.find(L'\\') == std::wstring::npos;
}

} // namespace

ReplaceSettings LoadReplaceSettings()
{
    ReplaceSettings settings;
    ReadMultiStringSetting(kReplaceSearchesValue, &settings.searches, kReplaceHistoryLength);
    ReadMultiStringSetting(kReplaceTextsValue, &settings.replacements, kReplaceHistoryLength);
    UniqueKey key = OpenSettingsKey();
    ReadReplaceNumbers(key.get(), settings, false);
    return settings;
}

void SaveReplaceSettings(const ReplaceSettings& settings)
{
    auto newest = [](const std::vector<std::wstring>& texts) {
        return std::vector<std::wstring>(texts.begin(), texts.begin() + std::min(texts.size(), kReplaceHistoryLength));
    };
    WriteMultiStringSetting(kReplaceSearchesValue, newest(settings.searches));
    WriteMultiStringSetting(kReplaceTextsValue, newest(settings.replacements));
    UniqueKey key = CreateSettingsKey();
    bool whole = true;
    if (key)
        WriteReplaceNumbers(key.get(), settings, false, whole);
}

std::vector<std::wstring> ReplacePresetNames()
{
    std::vector<std::wstring> names;
    HKEY opened = nullptr;
    std::wstring path = std::wstring(kSettingsKey) + L"\\" + kPresetsKey;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return names;
    UniqueKey key(opened);
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD length = static_cast<DWORD>(std::size(name));
        LSTATUS status = RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status == ERROR_SUCCESS)
            names.emplace_back(name, length);
    }
    return names;
}

bool LoadReplacePreset(const std::wstring& name, ReplaceSettings& preset)
{
    preset = ReplaceSettings();
    HKEY opened = nullptr;
    if (!UsablePresetName(name) ||
        RegOpenKeyExW(HKEY_CURRENT_USER, PresetPath(name).c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    UniqueKey key(opened);
    ReadMultiStringValue(key.get(), kReplaceSearchesValue, &preset.searches, 1);
    ReadMultiStringValue(key.get(), kReplaceTextsValue, &preset.replacements, 1);
    ReadReplaceNumbers(key.get(), preset, true);
    return true;
}

bool SaveReplacePreset(const std::wstring& name, const ReplaceSettings& preset)
{
    if (!UsablePresetName(name))
        return false;
    HKEY created = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, PresetPath(name).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &created, nullptr) != ERROR_SUCCESS)
        return false;
    UniqueKey key(created);
    auto first = [](const std::vector<std::wstring>& texts) {
        return texts.empty() ? std::vector<std::wstring>() : std::vector<std::wstring>{texts.front()};
    };
    bool whole = WriteMultiStringValue(key.get(), kReplaceSearchesValue, first(preset.searches)) &&
                 WriteMultiStringValue(key.get(), kReplaceTextsValue, first(preset.replacements));
    WriteReplaceNumbers(key.get(), preset, true, whole);
    return whole;
}

bool DeleteReplacePreset(const std::wstring& name)
{
    return UsablePresetName(name) && RegDeleteTreeW(HKEY_CURRENT_USER, PresetPath(name).c_str()) == ERROR_SUCCESS;
}
