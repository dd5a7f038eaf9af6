// The names of a walked tree, each kept once: every folder as the folder holding it and its own
// name, so that an entry is its folder's number and its own name, and its paths are spelt out
// only when asked for.
#pragma once

#include "NamePool.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TreeNames {
public:
    using NameId = NamePool::NameId;

    // Folder 0 is the chosen folder, whose own name is not needed: paths are below it.
    TreeNames();

    NameId AddName(std::wstring_view name) { return names_.Add(name); }
    std::wstring_view Name(NameId name) const { return names_.Get(name); }

    // A folder of the tree inside folder parent; gives its number, the next one.
    std::int32_t AddFolder(std::int32_t parent, std::wstring_view name);
    size_t FolderCount() const { return folders_.size(); }
    std::int32_t ParentOf(std::int32_t folder) const { return At(folder).parent; }
    std::wstring_view FolderName(std::int32_t folder) const { return names_.Get(At(folder).name); }

    // The length of "\Sub\Deeper", without spelling it.
    size_t FolderPathLength(std::int32_t folder) const;
    // Appends "\Sub\Deeper", the folder's path below the chosen folder (nothing for folder 0).
    void AppendFolderPath(std::int32_t folder, std::wstring& out) const;
    // ".\Sub\Name.txt", the form the user sees and the index files keep, into out.
    void SpellDisplayPath(std::int32_t folder, std::wstring_view name, std::wstring& out) const;

private:
    struct Folder {
        std::int32_t parent = -1;
        NameId name = 0;
    };
    const Folder& At(std::int32_t folder) const { return folders_[static_cast<size_t>(folder)]; }

    NamePool names_;
    std::vector<Folder> folders_;
};
