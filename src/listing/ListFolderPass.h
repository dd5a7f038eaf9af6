// One pass over one folder of a listing: its subfolders with their subtrees, or its files.
#pragma once

#include "ListingOutput.h"

#include <string>

enum class ListingPass { Folders, Files };

// The listing's own file, written under a temporary name while the tree is walked. Where the walk
// meets it, it is listed once under the name it is about to take: in place of the temporary name,
// or not at all beside the older listing it replaces, which is listed under that name itself.
struct ListingSelf {
    std::wstring folder; // the folder holding it, spelled as the walk spells paths
    std::wstring temporaryName;
    std::wstring finalName;
    bool replacesOlder = false;
};

// The folders pass writes a line for each subfolder and lists the subfolder's tree right after it;
// the files pass writes a line for each entry that is not a folder. Depth 0 is the level of the
// entries directly inside the listed root.
void ListFolderPass(const std::wstring& folder, ListingOutput& output, int depth, ListingPass pass, bool plain,
                    const ListingSelf& self);
