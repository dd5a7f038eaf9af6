// The help launcher: finds the HTML Help control (registered location, else the system
// folder), loads it once for the life of the process and calls HtmlHelpW by ordinal.
#include "HtmlHelp.h"

#include "HtmlHelpLoader.h"
#include "UniqueHandle.h"

#include <string>

namespace {
constexpr wchar_t kRegisteredLocationKey[] = L"CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
constexpr char kLibraryFileName[] = "hhctrl.ocx";
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

// Only a full path names one file: a bare or relative name would be searched for, and the
// search looks in the program's own folder, where anything downloaded beside it may lie.
bool IsFullPath(const char* path)
{
    bool drive = ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) && path[1] == ':' &&
                 path[2] == '\\';
    bool unc = path[0] == '\\' && path[1] == '\\';
    return drive || unc;
}

// The control in the system folder, named by its full path: found there even where the
// system cannot restrict the library search (Windows 7 without KB2533623).
std::string SystemLibraryPath()
{
    UINT needed = GetSystemDirectoryA(nullptr, 0); // with the terminator
    if (needed == 0)
        return std::string();
    std::string path(needed, '\0');
    UINT length = GetSystemDirectoryA(path.data(), needed);
    if (length == 0 || length >= needed)
        return std::string();
    path.resize(length);
    return path + "\\" + kLibraryFileName;
}

bool LoadLibraryAndEntry()
{
    if (!Library && !Failed) {
        char registered[kHelpLibraryPathSize];
        if (FindHtmlHelpLibrary(registered) && IsFullPath(registered))
            Library = LoadHelpLibrary(registered);
        std::string system = Library ? std::string() : SystemLibraryPath();
        if (!system.empty())
            Library = LoadHelpLibrary(system.c_str());
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
