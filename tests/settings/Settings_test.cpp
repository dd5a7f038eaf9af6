// The settings store against a real registry (this program's scratch HKEY_CURRENT_USER): defaults,
// types, sizes, values stored empty, too long or with another type.
#include "ScratchRegistry.h"
#include "Settings.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
// The settings key lives under HKEY_CURRENT_USER: this program gets a scratch one of its own.
const testing::Environment* const kScratchRegistry = RedirectRegistryForTheRun({{HKEY_CURRENT_USER, {}}});

class SettingsTest : public testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
        Settings = SettingsRecord();
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey); }
};

struct StoredValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
    bool exists = false;
};

StoredValue ReadStored(const wchar_t* name)
{
    StoredValue value;
    BYTE buffer[8192];
    DWORD size = sizeof(buffer);
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_ANY | RRF_NOEXPAND, &value.type, buffer, &size) ==
        ERROR_SUCCESS) {
        value.exists = true;
        value.bytes.assign(buffer, buffer + size);
    }
    return value;
}

void StoreRaw(const wchar_t* name, DWORD type, const void* bytes, DWORD size)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(bytes), size);
    RegCloseKey(key);
}

bool KeyExists()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}
} // namespace

TEST_F(SettingsTest, FirstStartWithoutTheKeyGivesEveryDefaultAndCreatesNothing)
{
    Settings.Tag = L"left over";
    Settings.Function = 6;
    Settings.Rtf = 0;
    LoadSettings();
    EXPECT_EQ(Settings.Tag, L"");
    EXPECT_EQ(Settings.Extention, L"jpg,gif,png,bmp,mp3");
    EXPECT_EQ(Settings.Number, L"000000");
    EXPECT_EQ(Settings.Folder, L"");
    EXPECT_EQ(Settings.FillTags, 0u);
    EXPECT_EQ(Settings.Function, 0u);
    EXPECT_EQ(Settings.Font, L"Consolas");
    EXPECT_EQ(Settings.Rtf, 1u);
    EXPECT_FALSE(KeyExists());
}

TEST_F(SettingsTest, WritersStoreTheTypesAndSizesAndReadersGiveThemBack)
{
    EXPECT_EQ(WriteStringSetting(L"Tag", L"Holiday"), 1);
    EXPECT_EQ(WriteDwordSetting(L"Function", 5), 1);
    EXPECT_EQ(WriteStringSetting(L"Folder", L""), 1);

    StoredValue tag = ReadStored(L"Tag");
    EXPECT_EQ(tag.type, DWORD(REG_SZ));
    EXPECT_EQ(tag.bytes.size(), (7u + 1u) * 2u); // the terminating null is stored
    StoredValue function = ReadStored(L"Function");
    EXPECT_EQ(function.type, DWORD(REG_DWORD));
    EXPECT_EQ(function.bytes, (std::vector<BYTE>{5, 0, 0, 0}));
    EXPECT_EQ(ReadStored(L"Folder").bytes.size(), 2u);

    std::wstring text;
    DWORD number = 0;
    EXPECT_EQ(ReadStringSetting(L"Tag", &text, kTagCapacity, L"default"), 1);
    EXPECT_EQ(text, L"Holiday");
    EXPECT_EQ(ReadDwordSetting(L"Function", &number, 9), 1);
    EXPECT_EQ(number, 5u);
    EXPECT_EQ(ReadDwordSetting(L"NoSuchValue", &number, 9), 1);
    EXPECT_EQ(number, 9u);
}

TEST_F(SettingsTest, MissingNameOrDestinationDoesNothing)
{
    std::wstring text = L"kept";
    DWORD number = 42;
    EXPECT_EQ(ReadDwordSetting(nullptr, &number, 1), 0);
    EXPECT_EQ(number, 42u);
    EXPECT_EQ(ReadDwordSetting(L"Rtf", nullptr, 1), 0);
    EXPECT_EQ(ReadStringSetting(nullptr, &text, 10, L"x"), 0);
    EXPECT_EQ(text, L"kept");
    EXPECT_EQ(ReadStringSetting(L"Tag", nullptr, 10, L"x"), 0);
    EXPECT_EQ(WriteStringSetting(L"Tag", nullptr), 0);
    EXPECT_FALSE(KeyExists());
}

TEST_F(SettingsTest, ValuesStoredEmptyTakeTheirDefaultsExceptNameAndFolder)
{
    for (const wchar_t* name : {L"Tag", L"Extention", L"Number", L"Folder", L"Font"})
        WriteStringSetting(name, L"");
    WriteDwordSetting(L"Rtf", 0);
    WriteDwordSetting(L"FillTags", 7);
    LoadSettings();
    EXPECT_EQ(Settings.Tag, L"");
    EXPECT_EQ(Settings.Extention, L"jpg,gif,png,bmp,mp3");
    EXPECT_EQ(Settings.Number, L"000000");
    EXPECT_EQ(Settings.Folder, L"");
    EXPECT_EQ(Settings.Font, L"Consolas");
    EXPECT_EQ(Settings.Rtf, 0u);
    EXPECT_EQ(Settings.FillTags, 7u);
}

TEST_F(SettingsTest, StringLongerThanItsFieldIsCutToTheField)
{
    std::wstring longTag(300, L'T');
    std::wstring longFolder = L"C:\\" + std::wstring(3000, L'f');
    WriteStringSetting(L"Tag", longTag.c_str());
    WriteStringSetting(L"Folder", longFolder.c_str());
    LoadSettings();
    EXPECT_EQ(Settings.Tag, longTag.substr(0, kTagCapacity - 1));
    EXPECT_EQ(Settings.Folder, longFolder.substr(0, kFolderCapacity - 1));
}

TEST_F(SettingsTest, ValueStoredWithAnotherTypeIsReadAsRawBytes)
{
    DWORD tagAsNumber = 0x00420041; // the UTF-16 units 'A', 'B'
    StoreRaw(L"Tag", REG_DWORD, &tagAsNumber, sizeof(tagAsNumber));
    StoreRaw(L"Function", REG_SZ, L"5", 4); // '5', 0 as 4 bytes: 0x35
    BYTE eightBytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    StoreRaw(L"Rtf", REG_BINARY, eightBytes, sizeof(eightBytes)); // too large for a number
    BYTE twoBytes[2] = {3, 0};
    StoreRaw(L"FillTags", REG_BINARY, twoBytes, sizeof(twoBytes));
    StoreRaw(L"Number", REG_BINARY, "1\0002\0", 4); // UTF-16 "12" without terminator
    LoadSettings();
    EXPECT_EQ(Settings.Tag, L"AB");
    EXPECT_EQ(Settings.Function, 0x35u);
    EXPECT_EQ(Settings.Rtf, 1u);
    EXPECT_EQ(Settings.FillTags, 3u);
    EXPECT_EQ(Settings.Number, L"12");
}

TEST_F(SettingsTest, FindAndReplaceKeepsItsTextsAndOptionsInValuesOfTheirOwn)
{
    // Nothing stored: no texts, every match replaced, and nothing made.
    ReplaceSettings first = LoadReplaceSettings();
    EXPECT_TRUE(first.searches.empty());
    EXPECT_EQ(first.replaceAll, 1u);
    EXPECT_FALSE(KeyExists());

    ReplaceSettings saved;
    for (int i = 0; i < 12; ++i)
        saved.searches.push_back(L"IMG_" + std::to_wstring(i));
    saved.replacements = {L"Holiday 2026 - ", L"", L"$2 - $1"};
    saved.regex = 1;
    saved.applyTo = 2;
    saved.format = 3;
    saved.hidden = 1;
    saved.order = 5;
    saved.restartCounter = 1;
    saved.width = 420;
    SaveReplaceSettings(saved);

    EXPECT_EQ(ReadStored(L"ReplaceSearches").type, static_cast<DWORD>(REG_MULTI_SZ));
    EXPECT_EQ(ReadStored(L"ReplaceFormat").type, static_cast<DWORD>(REG_DWORD));
    for (const wchar_t* name : {L"ReplaceTexts", L"ReplaceRegex", L"ReplaceMatchCase", L"ReplaceAll", L"ReplaceApplyTo",
                                L"ReplaceFiles", L"ReplaceFolders", L"ReplaceSubfolders", L"ReplaceHidden", L"ReplaceWidth",
                                L"ReplaceHeight", L"ReplaceModifiedForTaken", L"ReplaceOrder", L"ReplaceDescending",
                                L"ReplaceRestartCounter"})
        EXPECT_TRUE(ReadStored(name).exists) << name;
    // The eight values of the main window are not written with them.
    EXPECT_FALSE(ReadStored(L"Function").exists);

    ReplaceSettings loaded = LoadReplaceSettings();
    // The ten newest texts; an empty replacement is not kept.
    EXPECT_EQ(loaded.searches, std::vector<std::wstring>(saved.searches.begin(), saved.searches.begin() + 10));
    EXPECT_EQ(loaded.replacements, (std::vector<std::wstring>{L"Holiday 2026 - ", L"$2 - $1"}));
    EXPECT_EQ(loaded.regex, 1u);
    EXPECT_EQ(loaded.applyTo, 2u);
    EXPECT_EQ(loaded.format, 3u);
    EXPECT_EQ(loaded.hidden, 1u);
    EXPECT_EQ(loaded.order, 5u);
    EXPECT_EQ(loaded.restartCounter, 1u);
    EXPECT_EQ(loaded.width, 420u);

    // A number out of its range reads as its default.
    DWORD six = 6;
    StoreRaw(L"ReplaceOrder", REG_DWORD, &six, sizeof(six));
    StoreRaw(L"ReplaceDescending", REG_DWORD, &six, sizeof(six));
    loaded = LoadReplaceSettings();
    EXPECT_EQ(loaded.order, 0u);
    EXPECT_EQ(loaded.descending, 0u);

    // A list stored with another type reads as none.
    StoreRaw(L"ReplaceSearches", REG_SZ, L"IMG_", 10);
    EXPECT_TRUE(LoadReplaceSettings().searches.empty());
}

TEST_F(SettingsTest, PresetsKeepEverythingUnderTheirNamesAndDamagedValuesReadAsDefaults)
{
    EXPECT_TRUE(ReplacePresetNames().empty());
    ReplaceSettings trip;
    trip.searches = {L"IMG_(\\d+)"};
    trip.replacements = {L"Trip {n:001} {taken:yyyy-MM-dd}"};
    trip.regex = 1;
    trip.applyTo = 2;
    trip.format = 4;
    trip.modifiedForTaken = 1;
    trip.order = 1;
    trip.descending = 1;
    trip.restartCounter = 1;
    trip.files = 0;
    ASSERT_TRUE(SaveReplacePreset(L"Trip photos", trip));
    ReplaceSettings music;
    music.replacements = {L"{track:00} - {artist} - {title}"};
    ASSERT_TRUE(SaveReplacePreset(L"\u00c4lbum", music));
    EXPECT_FALSE(SaveReplacePreset(L"a\\b", music));
    EXPECT_FALSE(SaveReplacePreset(L"", music));
    EXPECT_EQ(ReplacePresetNames(), (std::vector<std::wstring>{L"Trip photos", L"\u00c4lbum"}));

    // Kept under Presets\NAME with the dialog's own value names, read back whole.
    HKEY key = nullptr;
    std::wstring path = std::wstring(kSettingsKey) + L"\\Presets\\Trip photos";
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExW(key, L"ReplaceOrder", nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_NE(RegQueryValueExW(key, L"ReplaceWidth", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    ReplaceSettings loaded;
    ASSERT_TRUE(LoadReplacePreset(L"Trip photos", loaded));
    EXPECT_EQ(loaded.searches, trip.searches);
    EXPECT_EQ(loaded.replacements, trip.replacements);
    for (auto field : {&ReplaceSettings::regex, &ReplaceSettings::applyTo, &ReplaceSettings::format,
                       &ReplaceSettings::modifiedForTaken, &ReplaceSettings::order, &ReplaceSettings::descending,
                       &ReplaceSettings::restartCounter, &ReplaceSettings::files})
        EXPECT_EQ(loaded.*field, trip.*field);

    // Missing, of another type, out of range: each its default, and the preset still reads.
    const ReplaceSettings defaults;
    DWORD nine = 9;
    RegSetValueExW(key, L"ReplaceOrder", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&nine), sizeof(nine));
    RegSetValueExW(key, L"ReplaceApplyTo", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&nine), 1);
    RegSetValueExW(key, L"ReplaceFormat", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"4"), 4);
    RegSetValueExW(key, L"ReplaceTexts", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"x"), 4);
    RegDeleteValueW(key, L"ReplaceRegex");
    RegSetValueExW(key, L"ReplaceDescending", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&nine), 2);
    // A number of fewer bytes than a DWORD is no number, not 0.
    const DWORD zero = 0;
    RegSetValueExW(key, L"ReplaceAll", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero), 0);
    RegSetValueExW(key, L"ReplaceSubfolders", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero), 2);
    RegCloseKey(key);
    ASSERT_TRUE(LoadReplacePreset(L"Trip photos", loaded));
    EXPECT_EQ(loaded.order, defaults.order);
    EXPECT_EQ(loaded.applyTo, defaults.applyTo);
    EXPECT_EQ(loaded.format, defaults.format);
    EXPECT_EQ(loaded.regex, defaults.regex);
    EXPECT_TRUE(loaded.replacements.empty());
    EXPECT_EQ(loaded.descending, defaults.descending);
    EXPECT_EQ(loaded.replaceAll, defaults.replaceAll);
    EXPECT_EQ(loaded.subfolders, defaults.subfolders);
    EXPECT_EQ(loaded.restartCounter, 1u);

    EXPECT_TRUE(DeleteReplacePreset(L"Trip photos"));
    EXPECT_FALSE(LoadReplacePreset(L"Trip photos", loaded));
    EXPECT_EQ(ReplacePresetNames(), (std::vector<std::wstring>{L"\u00c4lbum"}));
}
