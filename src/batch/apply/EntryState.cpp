// What the disk says about one entry now, read by its exact path.
#include "EntryState.h"

#include "UniqueHandle.h"

EntryState ReadEntryState(const std::wstring& path)
{
    EntryState state;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return state;
    state.exists = true;
    state.attributes = data.dwFileAttributes;
    state.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    state.lastWrite = data.ftLastWriteTime;
    return state;
}

std::wstring StoredName(const std::wstring& path)
{
    WIN32_FIND_DATAW found;
    UniqueFind find(FindFirstFileW(path.c_str(), &found));
    return find ? std::wstring(found.cFileName) : std::wstring();
}

bool SameFileTime(const FILETIME& a, const FILETIME& b)
{
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}
