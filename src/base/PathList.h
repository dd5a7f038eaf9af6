// The program's one container: a doubly linked list of paths, appended to at its end.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

struct PathEntry {
    PathEntry* next = nullptr;
    PathEntry* prev = nullptr;
    std::wstring path;
    std::unique_ptr<std::wstring> secondPath; // none when not given
    std::int32_t count = 0;
};

struct PathList {
    PathList() = default;
    // The links and the index point into this list's own storage: a copy or a move would
    // leave them pointing into another list's.
    PathList(const PathList&) = delete;
    PathList& operator=(const PathList&) = delete;

    PathEntry* head = nullptr;
    PathEntry* tail = nullptr;
    PathEntry* cursor = nullptr;

    // Storage with stable addresses; the links above give the order.
    std::deque<PathEntry> storage;
    // Built on the first Contains and kept up to date by Append, so lists that are
    // searched often (an exclusion list of a big folder) answer in constant time.
    // It maps an ASCII-folded path to the first entry with that path.
    std::unordered_map<std::wstring, PathEntry*> index;
    bool indexed = false;
};

PathEntry* Append(PathList& list, std::wstring_view path, std::int32_t count, const std::wstring* secondPath);
PathEntry* Append(PathList& list, std::wstring_view path, std::int32_t count = 0);
// Takes the last entry appended out again (a record that could not be saved).
void RemoveLast(PathList& list);
// True when some entry's path equals the given one under ASCII-only case folding;
// the cursor is left at the first such entry, or at none.
bool Contains(PathList* list, std::wstring_view path);
// The first entry whose path begins with the text under ASCII-only case folding.
PathEntry* FindByPrefix(PathList* list, std::wstring_view text);
// The first entry whose path equals the text under ASCII-only case folding.
PathEntry* FindExact(PathList* list, std::wstring_view path);
void Release(PathList& list);
size_t EntryCount(const PathList& list);
