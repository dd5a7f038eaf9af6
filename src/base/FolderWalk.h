// A pre-order walk of a folder tree in the file system's enumeration order.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// One entry the walk found.
struct WalkEntry {
    const std::wstring& path; // the walked folder's path, a backslash and the name
    std::wstring_view name;
    // Read by the entry's path (all bits set when they cannot be read), or the enumeration's,
    // as the walk was asked.
    DWORD attributes;
    std::uint64_t size;  // as the folder's listing gives it
    FILETIME lastWrite; // as the folder's listing gives it
    int depth;
    DWORD volume; // serial number of the volume of the folder holding the entry; 0 when unknown
};

// The walk keeps its own stack instead of recursing, so no depth of tree can
// overflow the thread's stack, and it never enters a folder that is already on
// the path being walked (a link leading back up the tree).
struct FolderWalk {
    // Called when a folder is about to be enumerated, the root included.
    std::function<void(const std::wstring& folder, int depth)> onFolderVisit;
    // Called for every entry but "." and ".."; return true to walk into the entry
    // before the enumeration of its folder goes on.
    std::function<bool(const WalkEntry& entry)> onEntry;
    // Called when a folder's enumeration has ended, the root included.
    std::function<void(const std::wstring& folder, int depth)> onFolderDone;
    // Whether each entry's attributes are read afresh by its path. The enumeration's attributes
    // tell a folder from a file as well; a fresh read matters where they decide a change.
    bool attributesByPath = true;
};

// An entry's attributes as the walk gives them: read by its path in folder when asked, and for
// a name no path can carry (a Unix name holding a backslash, as Wine lists it), whose read then
// fails and yields all bits; the enumeration's otherwise.
DWORD WalkAttributes(const std::wstring& folder, std::wstring_view name, DWORD listed, bool byPath);

void RunFolderWalk(const std::wstring& root, const FolderWalk& walk);

// Forms "folder\name" in one allocation.
std::wstring JoinPath(std::wstring_view folder, std::wstring_view name);
