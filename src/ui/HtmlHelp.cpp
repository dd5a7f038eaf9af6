// The help launcher: finds the HTML Help control (registered location, else its plain
// name), loads it once for the life of the process and calls HtmlHelpW by ordinal.
#include "HtmlHelp.h"

#include "HtmlHelpLoader.h"
#include "UniqueHandle.h"

namespace {
constexpr wchar_t kRegisteredLocationKey[] = L"CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
constexpr char kFallbackLibraryName[] = "hhctrl.ocx";
constexpr WORD kHtmlHelpWOrdinal = 15;
constexpr REGSAM kReadAccess = 0x20019; // KEY_READ

using HtmlHelpEntry = HWND(WINAPI*)(HWND, const wchar_t*, UINT, DWORD_PTR);

// Loaded once and never unloaded: the help viewer may outlive any one request.
HMODULE Library = nullptr;
HtmlHelpEntry Entry = nullptr;
bool Failed = false;
HelpLibraryLoader Loader = nullptr;

HMODULE LoadHelpLibrary(const char* path)
{
    return Loader ? Loader(path) : LoadLibraryA(path);
}

// Copies until the source ends or one place before the destination's end; always
// terminates; false when it had to stop early or the size is unusable.
bool CopyBounded(char* destination, size_t size, const char* source)
{
    if (size == 0 || size > 2147483647u)
        return false;
    size_t i = 0;
    for (; i + 1 < size && source[i] != '\0'; ++i)
        destination[i] = source[i];
    destination[i] = '\0';
    return source[i] == '\0';
}

bool LoadLibraryAndEntry()
{
    if (!Library && !Failed) {
        char registered[kHelpLibraryPathSize];
        if (FindHtmlHelpLibrary(registered))
            Library = LoadHelpLibrary(registered);
        if (!Library)
            Library = LoadHelpLibrary(kFallbackLibraryName);
        if (!Library)
            Failed = true;
    }
    if (Failed)
        return false;
    if (!Entry) {
        Entry = reinterpret_cast<HtmlHelpEntry>(GetProcAddress(Library, MAKEINTRESOURCEA(kHtmlHelpWOrdinal)));
        if (!Entry) {
            Failed = true;
            return false;
        }
    }
    return true;
}
} // namespace

bool FindHtmlHelpLibrary(char (&result)[kHelpLibraryPathSize])
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, kRegisteredLocationKey, 0, kReadAccess, &opened) != ERROR_SUCCESS)
        return false;
    UniqueKey key(opened);
    char value[kHelpLibraryPathSize] = {};
    DWORD type = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS)
        return false;
    // The stored text need not be terminated; keep at most 259 characters.
    value[sizeof(value) - 1] = '\0';
    if (type == REG_EXPAND_SZ) {
        DWORD needed = ExpandEnvironmentStringsA(value, result, kHelpLibraryPathSize);
        return needed != 0 && needed <= kHelpLibraryPathSize;
    }
    return CopyBounded(result, kHelpLibraryPathSize, value);
}

HWND ShowHtmlHelp(HWND caller, const wchar_t* helpFile, UINT command, DWORD_PTR data)
{
    if (!LoadLibraryAndEntry())
        return nullptr;
    return Entry(caller, helpFile, command, data);
}

void ResetHtmlHelpLauncher(HelpLibraryLoader loader)
{
    // The library stays loaded, as it would for the rest of a real run.
    Library = nullptr;
    Entry = nullptr;
    Failed = false;
    Loader = loader;
}

HtmlHelpState CurrentHtmlHelpState()
{
    if (Failed)
        return HtmlHelpState::Failed;
    return Entry ? HtmlHelpState::Ready : HtmlHelpState::NotLoaded;
}
