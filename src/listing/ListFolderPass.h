// One pass over one folder of a listing: its subfolders with their subtrees, or its files.
#pragma once

#include "ListingOutput.h"

#include <string>

enum class ListingPass { Folders, Files };

// The folders pass writes a line for each subfolder and lists the subfolder's tree right after it;
// the files pass writes a line for each entry that is not a folder. Depth 0 is the level of the
// entries directly inside the listed root.
void ListFolderPass(const std::wstring& folder, ListingOutput& output, int depth, ListingPass pass, bool plain);
