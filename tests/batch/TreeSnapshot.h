// A tree as a run or Undo leaves it, to compare with another: every entry by its relative path as
// the disk spells it, and of a file its bytes, read-only mark and last-write time.
#pragma once

#include "EntryState.h"
#include "ExtendedPath.h"
#include "TempFolder.h"

#include <map>
#include <string>

struct SnapshotEntry {
    bool folder = false;
    std::string bytes;
    bool readOnly = false;
    FILETIME lastWrite{};
};
using TreeSnapshot = std::map<std::wstring, SnapshotEntry>;

inline TreeSnapshot SnapshotTree(const std::wstring& root)
{
    TreeSnapshot snapshot;
    std::wstring exact = ExtendedLengthPath(root);
    for (const std::wstring& relative : ListTree(root)) {
        EntryState state = ReadEntryState(exact + relative.substr(1));
        SnapshotEntry& entry = snapshot[relative];
        entry.folder = state.IsFolder();
        if (!entry.folder) {
            entry.bytes = ReadFileBytes(exact + relative.substr(1));
            entry.readOnly = (state.attributes & FILE_ATTRIBUTE_READONLY) != 0;
            entry.lastWrite = state.lastWrite;
        }
    }
    return snapshot;
}
