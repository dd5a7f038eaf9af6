// The folder part and the last component of a backslash-separated path, without touching the disk.
#include "PathParts.h"

std::wstring_view FolderPart(std::wstring_view path)
{
    size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring_view::npos ? std::wstring_view() : path.substr(0, slash);
}

std::wstring_view FolderPrefix(std::wstring_view path)
{
    size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring_view::npos ? std::wstring_view() : path.substr(0, slash + 1);
}

std::wstring_view LastComponent(std::wstring_view path)
{
    size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}
