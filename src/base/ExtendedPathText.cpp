// The \\?\ form of paths as text: all of it that needs no look at the disk, so it builds without Win32.
#include "ExtendedPath.h"

static constexpr std::wstring_view kExtendedPrefix = L"\\\\?\\";
static constexpr std::wstring_view kExtendedUncPrefix = L"\\\\?\\UNC\\";

bool IsExtendedLengthPath(std::wstring_view path)
{
    return path.substr(0, kExtendedPrefix.size()) == kExtendedPrefix;
}

static bool IsDriveAbsolute(const std::wstring& path)
{
    return path.size() >= 3 && path[1] == L':' && path[2] == L'\\' &&
           ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
}

static bool IsUncAbsolute(const std::wstring& path)
{
    return path.size() > 2 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'?' && path[2] != L'.';
}

// A path the prefix can be put before as it is: no forward slashes, no empty, "." or ".." parts.
// Such a path is taken letter for letter, so a chosen folder named "DIR." keeps its dot.
static bool IsPlainAbsolute(const std::wstring& path)
{
    std::wstring::size_type start;
    if (IsDriveAbsolute(path))
        start = 3;
    else if (IsUncAbsolute(path))
        start = 2;
    else
        return false;
    if (path.find(L'/') != std::wstring::npos)
        return false;
    while (start < path.size()) {
        std::wstring::size_type end = path.find(L'\\', start);
        if (end == std::wstring::npos)
            end = path.size();
        std::wstring_view part(path.data() + start, end - start);
        if (part.empty() ? end != path.size() : (part == L"." || part == L".."))
            return false;
        start = end + 1;
    }
    return true;
}

std::wstring WithExtendedPrefix(std::wstring absolute)
{
    // A trailing backslash would make the last part empty; a drive's root keeps its own.
    while (absolute.size() > 3 && absolute.back() == L'\\')
        absolute.pop_back();
    if (IsUncAbsolute(absolute))
        return std::wstring(kExtendedUncPrefix).append(absolute, 2, std::wstring::npos);
    return std::wstring(kExtendedPrefix) + absolute;
}

bool PlainExtendedLengthPath(const std::wstring& path, std::wstring& extended)
{
    if (IsExtendedLengthPath(path)) {
        extended = path;
        return true;
    }
    if (!IsPlainAbsolute(path))
        return false;
    extended = WithExtendedPrefix(path);
    return true;
}

std::wstring DisplayPath(std::wstring_view path)
{
    if (path.substr(0, kExtendedUncPrefix.size()) == kExtendedUncPrefix)
        return L"\\\\" + std::wstring(path.substr(kExtendedUncPrefix.size()));
    if (IsExtendedLengthPath(path))
        return std::wstring(path.substr(kExtendedPrefix.size()));
    return std::wstring(path);
}
