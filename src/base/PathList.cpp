// The program's one container: a doubly linked list of paths, appended to at its end.
#include "PathList.h"

#include "AsciiCase.h"

static std::wstring FoldedKey(std::wstring_view path)
{
    std::wstring key(path);
    LowerAscii(key);
    return key;
}

static void IndexEntry(PathList& list, PathEntry* entry)
{
    // emplace keeps an existing key, so the index answers with the first match.
    list.index.emplace(FoldedKey(entry->path), entry);
}

PathEntry* Append(PathList& list, std::wstring_view path, std::int32_t count, const std::wstring* secondPath)
{
    PathEntry& entry = list.storage.emplace_back();
    entry.path.assign(path);
    if (secondPath)
        entry.secondPath = std::make_unique<std::wstring>(*secondPath);
    entry.count = count;
    entry.prev = list.tail;
    if (list.tail)
        list.tail->next = &entry;
    else
        list.head = &entry;
    list.tail = &entry;
    list.cursor = nullptr;
    if (list.indexed)
        IndexEntry(list, &entry);
    return &entry;
}

PathEntry* Append(PathList& list, std::wstring_view path, std::int32_t count)
{
    return Append(list, path, count, nullptr);
}

void RemoveLast(PathList& list)
{
    PathEntry* last = list.tail;
    if (!last)
        return;
    if (list.indexed) {
        auto indexed = list.index.find(FoldedKey(last->path));
        if (indexed != list.index.end() && indexed->second == last)
            list.index.erase(indexed);
    }
    list.tail = last->prev;
    if (list.tail)
        list.tail->next = nullptr;
    else
        list.head = nullptr;
    list.cursor = nullptr;
    list.storage.pop_back();
}

PathEntry* FindExact(PathList* list, std::wstring_view path)
{
    if (!list)
        return nullptr;
    if (!list->indexed) {
        for (PathEntry* entry = list->head; entry; entry = entry->next)
            IndexEntry(*list, entry);
        list->indexed = true;
    }
    auto found = list->index.find(FoldedKey(path));
    list->cursor = found != list->index.end() ? found->second : nullptr;
    return list->cursor;
}

bool Contains(PathList* list, std::wstring_view path)
{
    return FindExact(list, path) != nullptr;
}

PathEntry* FindByPrefix(PathList* list, std::wstring_view text)
{
    if (!list)
        return nullptr;
    for (list->cursor = list->head; list->cursor; list->cursor = list->cursor->next) {
        if (StartsWithAsciiNoCase(list->cursor->path, text))
            return list->cursor;
    }
    return nullptr;
}

void Release(PathList& list)
{
    list.index.clear();
    list.indexed = false;
    list.storage.clear();
    list.head = list.tail = list.cursor = nullptr;
}

size_t EntryCount(const PathList& list)
{
    return list.storage.size();
}
