// The help launcher against a real registry (this program's scratch HKEY_CLASSES_ROOT, holding a
// copy of the control's registration) and the real HTML Help control; a stand-in loader only
// where no library must be found at all.
#include "HtmlHelp.h"
#include "HtmlHelpLoader.h"
#include "ScratchRegistry.h"
#include "UniqueHandle.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace {
constexpr wchar_t kLocationKey[] = L"CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
constexpr UINT kHelpCloseAll = 0x12; // HH_CLOSE_ALL: a request that opens nothing

// The tests change the control's registration: only in this program's own classes root.
const testing::Environment* const kScratchRegistry = RedirectRegistryForTheRun({{HKEY_CLASSES_ROOT, {kLocationKey}}});

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string SystemFolderLibrary()
{
    char folder[1024] = "";
    GetSystemDirectoryA(folder, sizeof(folder));
    return std::string(folder) + "\\hhctrl.ocx";
}

std::string Expanded(const char* text)
{
    char buffer[1024] = "";
    ExpandEnvironmentStringsA(text, buffer, sizeof(buffer));
    return buffer;
}

// Changes the registered location for one test and puts the original key back afterwards.
class RegisteredLocation {
public:
    RegisteredLocation()
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CLASSES_ROOT, kLocationKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            UniqueKey owner(key);
            existed_ = true;
            defaultValue_ = Read(key, nullptr, defaultType_);
            threading_ = Read(key, "ThreadingModel", threadingType_);
        }
    }
    ~RegisteredLocation()
    {
        if (!existed_)
            return;
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_CLASSES_ROOT, kLocationKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
        UniqueKey owner(key);
        Write(key, nullptr, defaultType_, defaultValue_);
        Write(key, "ThreadingModel", threadingType_, threading_);
    }
    RegisteredLocation(const RegisteredLocation&) = delete;
    RegisteredLocation& operator=(const RegisteredLocation&) = delete;

    bool existed() const { return existed_; }

    void Set(DWORD type, const std::string& value)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, kLocationKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        UniqueKey owner(key);
        Write(key, nullptr, type, value);
    }
    void RemoveKey() { ASSERT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, kLocationKey), ERROR_SUCCESS); }

private:
    static std::string Read(HKEY key, const char* name, DWORD& type)
    {
        char buffer[2048] = "";
        DWORD size = sizeof(buffer);
        if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
            return std::string();
        return std::string(buffer);
    }
    static void Write(HKEY key, const char* name, DWORD type, const std::string& value)
    {
        RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>(value.size() + 1));
    }

    bool existed_ = false;
    DWORD defaultType_ = REG_SZ;
    DWORD threadingType_ = REG_SZ;
    std::string defaultValue_;
    std::string threading_;
};

// Forwards to the real loader and remembers what was asked for.
std::vector<std::string> LoadRequests;
HMODULE RecordingLoader(const char* path)
{
    LoadRequests.push_back(path);
    return LoadLibraryA(path);
}
HMODULE NoLibraryAnywhere(const char* path)
{
    LoadRequests.push_back(path);
    return nullptr;
}
// A real library that has no ordinal 15.
constexpr char kLibraryWithFewExports[] = "msimg32.dll";
HMODULE LibraryWithoutTheEntry(const char* path)
{
    LoadRequests.push_back(path);
    return LoadLibraryA(kLibraryWithFewExports);
}

class HtmlHelpTest : public testing::Test {
protected:
    void SetUp() override
    {
        LoadRequests.clear();
        ResetHtmlHelpLauncher(RecordingLoader);
    }
    void TearDown() override { ResetHtmlHelpLauncher(); }

    RegisteredLocation location;
};
} // namespace

TEST_F(HtmlHelpTest, FindsTheRegisteredLocationOfThePrefix)
{
    ASSERT_TRUE(location.existed());
    char path[kHelpLibraryPathSize];
    ASSERT_TRUE(FindHtmlHelpLibrary(path));
    std::string found = Lower(path);
    EXPECT_EQ(found.substr(found.size() - 11), "\\hhctrl.ocx") << path;
    EXPECT_NE(GetFileAttributesA(path), INVALID_FILE_ATTRIBUTES) << path;
}

TEST_F(HtmlHelpTest, ExpandsAnExpandableLocationAndRejectsOnesThatDoNotFit)
{
    char path[kHelpLibraryPathSize];
    location.Set(REG_EXPAND_SZ, "%SystemRoot%\\system32\\hhctrl.ocx");
    ASSERT_TRUE(FindHtmlHelpLibrary(path));
    EXPECT_EQ(std::string(path), Expanded("%SystemRoot%\\system32\\hhctrl.ocx"));
    EXPECT_EQ(std::string(path).find('%'), std::string::npos);

    // 259 characters fit with their terminator, 260 do not.
    SetEnvironmentVariableA("NOMARO_HELP_DIR", std::string(259 - 11, 'd').c_str());
    location.Set(REG_EXPAND_SZ, "%NOMARO_HELP_DIR%\\hhctrl.ocx");
    EXPECT_TRUE(FindHtmlHelpLibrary(path));
    EXPECT_EQ(std::string(path).size(), 259u);
    SetEnvironmentVariableA("NOMARO_HELP_DIR", std::string(260 - 11, 'd').c_str());
    EXPECT_FALSE(FindHtmlHelpLibrary(path));
    SetEnvironmentVariableA("NOMARO_HELP_DIR", nullptr);

    // A plain value longer than the 260-byte buffer cannot be read at all.
    location.Set(REG_SZ, std::string(300, 'x'));
    EXPECT_FALSE(FindHtmlHelpLibrary(path));
    location.Set(REG_SZ, std::string(259, 'y'));
    EXPECT_TRUE(FindHtmlHelpLibrary(path));
    EXPECT_EQ(std::string(path), std::string(259, 'y'));
}

TEST_F(HtmlHelpTest, NoKeyMeansNoRegisteredLocation)
{
    location.RemoveKey();
    char path[kHelpLibraryPathSize];
    EXPECT_FALSE(FindHtmlHelpLibrary(path));
}

TEST_F(HtmlHelpTest, LoadsTheRegisteredLibraryOnceAndForwardsEveryRequest)
{
    location.Set(REG_EXPAND_SZ, "%SystemRoot%\\system32\\hhctrl.ocx");
    EXPECT_EQ(CurrentHtmlHelpState(), HtmlHelpState::NotLoaded);
    ShowHtmlHelp(nullptr, L"unused.chm", kHelpCloseAll, 0);
    EXPECT_EQ(CurrentHtmlHelpState(), HtmlHelpState::Ready);
    ASSERT_EQ(LoadRequests.size(), 1u);
    EXPECT_EQ(LoadRequests[0], Expanded("%SystemRoot%\\system32\\hhctrl.ocx"));

    ShowHtmlHelp(nullptr, L"unused.chm", kHelpCloseAll, 0);
    ShowHtmlHelp(nullptr, L"unused.chm", kHelpCloseAll, 0);
    EXPECT_EQ(LoadRequests.size(), 1u);
    EXPECT_EQ(CurrentHtmlHelpState(), HtmlHelpState::Ready);
}

TEST_F(HtmlHelpTest, WithoutTheKeyTheLibraryIsLoadedFromTheSystemFolder)
{
    location.RemoveKey();
    ShowHtmlHelp(nullptr, L"unused.chm", kHelpCloseAll, 0);
    EXPECT_EQ(LoadRequests, std::vector<std::string>{SystemFolderLibrary()});
    EXPECT_EQ(CurrentHtmlHelpState(), HtmlHelpState::Ready);
}

TEST_F(HtmlHelpTest, AnUnloadableRegisteredPathFallsBackToTheSystemFolder)
{
    location.Set(REG_SZ, "C:\\nowhere\\hhctrl.ocx");
    ShowHtmlHelp(nullptr, L"unused.chm", kHelpCloseAll, 0);
    EXPECT_EQ(LoadRequests, (std::vector<std::string>{"C:\\nowhere\\hhctrl.ocx", SystemFolderLibrary()}));
    EXPECT_EQ(CurrentHtmlHelpState(), HtmlHelpState::Ready);
}

TEST_F(HtmlHelpTest, ARegisteredNameWithoutAFolderIsNeverSearchedFor)
{
    location.Set(REG_SZ, "hhctrl.ocx");
    ShowHtmlHelp(nullptr, L"unused.chm", kHelpCloseAll, 0);
    EXPECT_EQ(LoadRequests, std::vector<std::string>{SystemFolderLibrary()});
}

TEST_F(HtmlHelpTest, WithNoLibraryAtAllHelpDoesNothingAndNeverRetries)
{
    ResetHtmlHelpLauncher(NoLibraryAnywhere);
    EXPECT_EQ(ShowHtmlHelp(nullptr, L"nomaro.chm", kHelpDisplayToc, 0), nullptr);
    EXPECT_EQ(CurrentHtmlHelpState(), HtmlHelpState::Failed);
    EXPECT_EQ(LoadRequests.size(), 2u); // the registered path, then the system folder
    EXPECT_EQ(ShowHtmlHelp(nullptr, L"nomaro.chm", kHelpDisplayToc, 0), nullptr);
    EXPECT_EQ(LoadRequests.size(), 2u);
    EXPECT_EQ(CurrentHtmlHelpState(), HtmlHelpState::Failed);
}

TEST_F(HtmlHelpTest, ALibraryWithoutTheEntryPointFailsForGood)
{
    UniqueModule library(LoadLibraryA(kLibraryWithFewExports));
    ASSERT_TRUE(library.valid());
    ASSERT_EQ(GetProcAddress(library.get(), MAKEINTRESOURCEA(15)), nullptr);
    ResetHtmlHelpLauncher(LibraryWithoutTheEntry);
    EXPECT_EQ(ShowHtmlHelp(nullptr, L"nomaro.chm", kHelpDisplayToc, 0), nullptr);
    EXPECT_EQ(CurrentHtmlHelpState(), HtmlHelpState::Failed);
    EXPECT_EQ(ShowHtmlHelp(nullptr, L"nomaro.chm", kHelpDisplayToc, 0), nullptr);
    EXPECT_EQ(LoadRequests.size(), 1u);
}
