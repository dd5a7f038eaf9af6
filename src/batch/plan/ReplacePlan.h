// Find and Replace over a tree walked once: which entries the options take, planned in memory
// as often as the user changes what they ask for.
#pragma once

#include "CollectEntries.h"
#include "RunPlanner.h"
#include "ReplaceRule.h"

struct ReplaceSelection {
    bool files = true;
    bool folders = true;
    bool subfolders = true; // the whole tree, else only the chosen folder's own entries
    // Hidden and system entries. Left out, such a folder is not entered either: its contents
    // (a repository's, a program's) keep their names too.
    bool hidden = false;

    bool operator==(const ReplaceSelection& other) const
    {
        return files == other.files && folders == other.folders && subfolders == other.subfolders &&
               hidden == other.hidden;
    }
};

// The entries of collected (the plan of a Find and Replace collection, which holds every entry
// of the tree, folders before their contents) that the selection takes, their folder links
// renumbered. The entries it leaves out beside them hold their names. source, when given, gets
// each selected entry's index in collected.
CollectedTree SelectEntries(const RunPlan& collected, const ReplaceSelection& selection,
                            std::vector<std::int32_t>* source = nullptr);

// The plan of a Find and Replace: the entries the selection takes, named by the rule and checked.
// When cancelled the planning stops early and the plan it gives is to be dropped.
RunPlan PlanReplace(const RunPlan& collected, const ReplaceSelection& selection, const CompiledReplace& rule,
                    const PlanCancelled& cancelled = {});
