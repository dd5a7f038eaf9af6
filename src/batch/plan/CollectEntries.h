// The walk of a run: the entries it works on, in collection order, and every other name the
// tree holds, which stays taken.
#pragma once

#include "PathList.h"
#include "RunOptions.h"
#include "RunPlan.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// A name in the tree that the run does not work on (a folder in ModeNumber, a hidden file,
// a file of another extension, one numbered before).
struct HeldName {
    std::int32_t folder = 0;
    std::wstring name;
};

struct CollectedTree {
    RunPlan plan; // entries with their paths and what the walk read; nothing planned yet
    std::vector<HeldName> held;
};

// Walks the tree at root (a \\?\ path) once per listed extension, or once, and collects its
// entries as the mode asks; exclusions (or none) are paths left out, and so are the numbering
// history's own files. keepAlive (may be empty) is called now and then while it walks, afterEntry
// (may be empty) after each entry it reads.
CollectedTree CollectEntries(const std::wstring& root, const RunOptions& options, PathList* exclusions,
                             const std::function<void()>& keepAlive, const std::function<void()>& afterEntry = {});

// The tree of one file given instead of a folder: that file, in a plan rooted at its folder.
CollectedTree CollectOneFile(const std::wstring& filePath);
