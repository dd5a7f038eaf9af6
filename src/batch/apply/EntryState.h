// What the disk says about one entry now, read by its exact path.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

struct EntryState {
    bool exists = false;
    DWORD attributes = 0;
    std::uint64_t size = 0;
    FILETIME lastWrite{};
    bool IsFolder() const { return exists && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
};

EntryState ReadEntryState(const std::wstring& path);

// The entry's own name as the file system spells it (it may differ in case from path's last
// component); empty when there is no such entry.
std::wstring StoredName(const std::wstring& path);

bool SameFileTime(const FILETIME& a, const FILETIME& b);
